#pragma once
// Score logs are written by the quiz player, one line scrambled with the
// score-log key per text line. The viewer shows them unscrambled and can
// export the (edited) text as a plain text file.

#include <QByteArray>
#include <QString>

namespace ScoreLog {
// The text a log shows as: every unscrambled line followed by CR LF. Lines
// end at CR LF or a lone CR; a lone LF stays inside its line; a terminator at
// the very end adds no empty line.
QString textFromBytes(const QByteArray &bytes);

// A score log of more bytes than this is not read at all: the quiz player's
// logs of a whole school year stay far below it.
constexpr qint64 MaxLogBytes = 64 * 1024 * 1024;

// Reads the file; what cannot be read is simply missing (never an error).
// Only a regular file is opened (a pipe or a device would block or never
// end), and only up to MaxLogBytes; *tooLarge, when given, says why nothing was
// read: set only when the file is larger than MaxLogBytes.
QString readText(const QString &path, QString *tooLarge = nullptr);

// What "Save as Text File" writes: the text without leading and trailing
// space characters (only blanks, as a whole), then one CR LF, as plain
// Windows-1252.
QByteArray exportBytes(const QString &text);

// Trims only the space character from both ends of the whole text.
QString trimSpaces(const QString &text);

// Characters a log line can hold that no font draws are shown (in the viewer
// and on paper) as marks, each its own, so they stay visible characters of
// their line and go back to their bytes on save: a lone LF, NUL, and the five
// bytes Windows-1252 leaves undefined (carried as the control characters of
// the same number). The marks lie outside Windows-1252, so they cannot come
// from a log, and the fonts the program ships with (DejaVu, Liberation) have
// them.
QString withMarks(const QString &text);
QString withoutMarks(const QString &text);
QString marks();   // the marks, in the order LF, NUL, 0x81, 0x8D, 0x8F, 0x90, 0x9D

// A time spent as the report and the result log write it: "60 seconds",
// "1 minutes and 1 seconds", "2 minutes and 0 seconds".
QString timeText(qint64 seconds);
}
