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

// The name a result is saved under: "<title> - <name>.log", without the
// characters file systems refuse and without full stops (the program reads
// a file's kind after the first one), at most 200 characters before ".log".
QString fileName(const QString &title, const QString &name);
}
