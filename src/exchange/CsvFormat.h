#pragma once
// CSV for spreadsheets (RFC 4180, UTF-8, a header row): the columns
// kind,question,a,b,c,d,answer,media; kind "mc" or "tf"; answer A to D, or
// true/false; media the bare name of a file beside the CSV file. Columns may
// stand in any order; a file saved by a spreadsheet with ';' or tabs
// between the fields, or in Windows-1252, reads the same.

#include "exchange/QuestionFormat.h"

#include <functional>

class CsvFormat : public QuestionFormat {
public:
    QString shortName() const override { return QStringLiteral("csv"); }
    FileFilter nameFilter() const override;
    Capabilities capabilities() const override { return ReadWrite | MediaBesideFile; }
    ReadResult read(const QByteArray &bytes, const QString &fileName) const override;
    // The file decoded a part at a time: its text alone is held, never its
    // bytes beside it.
    ReadResult readParts(const OpenFile &file, const QString &fileName) const override;
    WriteResult write(const ExportSource &test) const override;

    // More fields than a row of any spreadsheet we read holds (a question
    // has 9 columns, a class list a few dozen): the reading stops there.
    static constexpr int MaxFields = 256;

    // Hands each row of a spreadsheet's text to `take` in order (its fields,
    // split by the separator its first row uses); `take` returns false to
    // stop. False with *errorLine when a quoted field is not closed.
    static bool forEachRow(const QString &text, const std::function<bool(const QStringList &)> &take, int *errorLine);

private:
    ReadResult readText(const QString &text, const QString &fileName) const;
};
