#pragma once
// Moodle XML: <quiz> with one <question type="..."> each. Multiple choice
// ("multichoice", <single>true</single>, four answers with the fractions
// 100 and 0) and "truefalse" go across; a question's picture or sound goes
// as a base64 <file> of its question text, referred to as
// @@PLUGINFILE@@/name.

#include "exchange/QuestionFormat.h"

#include <functional>

class QIODevice;

class MoodleXmlFormat : public QuestionFormat {
public:
    QString shortName() const override { return QStringLiteral("moodlexml"); }
    FileFilter nameFilter() const override;
    ReadResult read(const QByteArray &bytes, const QString &fileName) const override;
    WriteResult write(const ExportSource &test) const override;
    // Streamed into the file: media go from their files into the output
    // block by block.
    std::optional<ExchangeReport> writeFile(const ExportSource &test, const QString &path) const override;

private:
    bool writeTo(QIODevice &out, const ExportSource &test, ExchangeReport &report,
                 const std::function<void()> &ownerOnly) const;
};
