#pragma once
// Aiken, Moodle's simplest question text: the question on its line(s), the
// answers "A) ..." (or "A. ...") one a line, then "ANSWER: B". Only
// multiple choice; no media, no true/false.

#include "exchange/QuestionFormat.h"

class AikenFormat : public QuestionFormat {
public:
    QString shortName() const override { return QStringLiteral("aiken"); }
    FileFilter nameFilter() const override;
    ReadResult read(const QByteArray &bytes, const QString &fileName) const override;
    WriteResult write(const ExportSource &test) const override;
};
