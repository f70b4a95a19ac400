#pragma once
// The text of a question file: UTF-8 (with or without a byte-order mark)
// when the bytes are valid UTF-8, else Windows-1252, which is what a
// spreadsheet or an old editor on Windows saves.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>

namespace SourceText {
bool isUtf8(const QByteArray &bytes);
QString decode(const QByteArray &bytes);
// A piece of a file already known to be UTF-8 (or not: Windows-1252).
QString decode(QByteArrayView bytes, bool utf8);

// A file read a part at a time (through its handle, or from memory): the
// bytes from an offset, fewer at the end, none after it.
using Parts = std::function<QByteArray(qint64 offset, qint64 length)>;
inline constexpr qint64 PartSize = 1 << 20;
// 3 when the file begins with UTF-8's byte-order mark, else 0.
qint64 bomLength(const Parts &parts);
// Whether the bytes from `from` on are UTF-8, and the number of the first
// line holding a binary control code (0: none), a part at a time.
struct Survey {
    bool utf8 = true;
    int binaryLine = 0;
};
Survey survey(const Parts &parts, qint64 from);
// The whole text, as decode() makes it of the bytes, without ever holding
// the bytes whole beside it.
QString decode(const Parts &parts);

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
