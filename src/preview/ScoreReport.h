#pragma once
// The score report at the end of a preview: the percentage, the time spent,
// the message the student sees and the lines of the printed score sheet.

#include "document/ScoreLog.h"

#include <QDate>
#include <QDateTime>
#include <QString>

namespace ScoreReport {
inline const QString kTitle = QStringLiteral("Your Score!");
// The score sheet's first two lines are fixed captions, not the student's
// name or the test's title.
inline const QString kSheetLine1 = QStringLiteral("Student Name");
inline const QString kSheetLine2 = QStringLiteral("Test Name.....Teacher");

// Score / total * 100 in double precision, rounded down (2 of 3 gives 66).
// total must be at least 1.
int percent(int score, int total);

// Whole seconds from start to now, rounded down. Taken from the two moments
// with their dates, so a preview that runs across midnight still counts
// right; a clock set back gives 0 rather than a negative time.
qint64 elapsedSeconds(const QDateTime &start, const QDateTime &now);

// "60 seconds", "1 minutes and 1 seconds", "2 minutes and 0 seconds": the
// result log's own rule.
using ScoreLog::timeText;

// The five lines joined by CR LF, the last one asking to print.
QString message(int score, int total, int percent, const QString &timeText);

// "Score 7 of 10.  70%   Time spent 1 minutes and 35 seconds.  Test date:  <date>"
QString sheetLine3(int score, int total, int percent, const QString &timeText,
                   const QString &dateText);

// Today's date as the system's short date format writes it.
QString dateText(const QDate &date);
}
