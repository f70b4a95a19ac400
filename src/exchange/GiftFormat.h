#pragma once
// GIFT, Moodle's question text format: questions separated by blank lines,
// "//" comments, "::title::", a text-format marker ([html], [moodle],
// [plain], [markdown]), the answers in braces ({=right ~wrong ...},
// {T}/{F}/{TRUE}/{FALSE}), and the escapes \~ \= \# \{ \} \: \\ \n.

#include "exchange/QuestionFormat.h"

class GiftFormat : public QuestionFormat {
public:
    QString shortName() const override { return QStringLiteral("gift"); }
    FileFilter nameFilter() const override;
    ReadResult read(const QByteArray &bytes, const QString &fileName) const override;
    ReadResult readParts(const OpenFile &file, const QString &fileName) const override;
    WriteResult write(const ExportSource &test) const override;

    // A text written so that a GIFT reader gives it back unchanged.
    static QString escaped(const QString &text);
};
