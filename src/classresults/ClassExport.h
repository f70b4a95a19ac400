#pragma once
// The class's results written out: a CSV file for spreadsheets (UTF-8 with
// a byte-order mark, so that spreadsheet programs read the accents; one
// row per result as the table shows them, then the item analysis) and the
// JSON object `ardeno-tool class --json` prints.

#include "classresults/ClassResults.h"
#include "classresults/ItemAnalysis.h"

#include <QByteArray>
#include <QJsonObject>

namespace ClassExport {
QByteArray csv(const ClassResults &results, const QList<const StudentResult *> &rows, const ClassFigures &figures);
// The spreadsheet written to `path` whole or not at all; readable by its
// owner alone when a log only its owner may read went into it. False with
// the system's reason.
bool writeCsv(const QString &path, const ClassResults &results, const QList<const StudentResult *> &rows,
              const ClassFigures &figures, QString *reason);
// students: the results of the class's test (earlier attempts flagged);
// other_tests: the files of results of another test; unreadable: every
// file that is no result or could not be read, with the reason.
QJsonObject json(const ClassResults &results, const ClassFigures &figures);
// One CSV field: quoted when it must be, and a text a spreadsheet would
// take for a formula ("=...", "+...", "-...", "@...") kept as text.
QString csvField(const QString &text);
}
