#pragma once
// The text of a question file: UTF-8 (with or without a byte-order mark)
// when the bytes are valid UTF-8, else Windows-1252, which is what a
// spreadsheet or an old editor on Windows saves.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace SourceText {
bool isUtf8(const QByteArray &bytes);
QString decode(const QByteArray &bytes);
// Lines split at CR LF, LF or a lone CR, without their ends.
QStringList lines(const QString &text);
// The first line of the text that holds a NUL or other binary control code
// (0 when there is none): such a file is no question text.
int firstBinaryLine(const QString &text);
// CR LF, LF and lone CR all become CR LF, the line break of a record.
QString withRecordLineBreaks(const QString &text);
// The text as one line, as an answer of a test is: its lines joined by
// blanks, the blanks at both ends gone.
QString oneLine(const QString &text);
}
