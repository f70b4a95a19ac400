#pragma once
// The text of a question file: UTF-8 (with or without a byte-order mark)
// when the bytes are valid UTF-8, else Windows-1252, which is what a
// spreadsheet or an old editor on Windows saves.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace SourceText {
bool isUtf8(const QByteArray &bytes);
QString decode(const QByteArray &bytes);
// A piece of a file already known to be UTF-8 (or not: Windows-1252).
QString decode(QByteArrayView bytes, bool utf8);
// How many UTF-16 characters the UTF-8 bytes make.
qsizetype utf16Length(QByteArrayView utf8);

// A line of a question file, told without making a text of a long one:
// blank (white space only), a comment ("//" after white space), or text.
enum class LineKind { Blank, Comment, Text };
LineKind kindOf(QByteArrayView line, bool utf8);
// The first line holding a binary control code, on the bytes (0: none).
int firstBinaryLine(QByteArrayView bytes);
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
