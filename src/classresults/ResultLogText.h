#pragma once
// Writes the result log a web quiz saves, for results that reach the
// teacher's computer directly (the live class): the same lines, scrambling
// and file names as the page's own "Save my result", so the log viewer,
// Class Results and `ardeno-tool class` read both alike.

#include "classresults/StudentResult.h"

#include <QByteArray>
#include <QString>

namespace ResultLogText {
// The name in a readable Latin form, as the log holds Windows-1252 only:
// Cyrillic and Greek letters transliterated ("Дмитрий" is "Dmitrij"), Latin
// letters with marks Windows-1252 lacks without them ("Łukasz" is "Lukasz").
QString latinName(const QString &name);

// The log's bytes: Windows-1252 lines scrambled with the score-log key,
// each ended by CR LF. `result` gives title, teacher, test id, name, date,
// score, total, percent, seconds and the answers.
QByteArray bytes(const StudentResult &result);

// The line a log gains when its "Student:" line cannot give the name back
// as it was typed ("张伟", "Ελένη"): after the answers, where the quiz
// player and the log viewer read it as one more line of text, the name's
// UTF-8 bytes percent-encoded ("Student as typed: %E5%BC%A0%E4%BC%9F").
inline constexpr char NameAsTypedKey[] = "Student as typed: ";
// "" when the "Student:" line gives the name back whole.
QString nameAsTypedLine(const QString &name);
// The name such a line holds, "" when it holds none a student could type.
QString nameFromLine(const QString &value);

// A name's share of a result's file name, in bytes of UTF-8: a longer one
// cannot be a file name beside its title on any file system we write to.
inline constexpr int MaxNameBytes = 150;

// The name a result is saved under: "<title> - <name>.log", without the
// characters file systems refuse and without full stops (the program reads
// a file's kind after the first one), at most 200 bytes of UTF-8 before
// ".log" (a file name holds 255): a long title is cut before the name is.
QString fileName(const QString &title, const QString &name);
}
