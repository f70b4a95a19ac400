#pragma once
// A text as a cell of a CSV the program writes for a spreadsheet. A
// spreadsheet takes a cell that begins with = + - @ (or a tab or a line
// break before one) for a formula: =HYPERLINK(...) or +cmd|... in a
// question or a student's name would run when the teacher opens the file.
// Such a text is guarded by a leading apostrophe, which spreadsheets show as
// text and which the program's own reading takes off again, so a round trip
// gives back the teacher's text. A plain number ("-0.33") is no formula and
// stays a number.

#include <QString>

namespace SpreadsheetText {
// The text guarded when a spreadsheet would read it as a formula.
QString guarded(const QString &text);
// The teacher's text back from a cell guarded().
QString unguarded(const QString &text);
// The cell: guarded, and quoted (quotation marks doubled) when it holds any
// separator a spreadsheet may split on (comma, semicolon, tab), a quotation
// mark, a line break, or blanks at either end.
QString cell(const QString &text);
}
