#include "preview/ScoreReport.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

namespace ScoreReport {
int percent(int score, int total)
{
    // Plain double arithmetic, as the quiz player computes it.
    return static_cast<int>(std::floor(double(score) / double(total) * 100.0));
}

qint64 elapsedSeconds(const QDateTime &start, const QDateTime &now)
{
    const qint64 ms = start.msecsTo(now);
    return ms <= 0 ? 0 : ms / 1000;
}

QString message(int score, int total, int pct, const QString &time)
{
    return QStringList{
               QStringLiteral("You got %1 correct out of %2 total questions.").arg(score).arg(total),
               QStringLiteral("You scored %1 percent.").arg(pct),
               QStringLiteral("You spent %1 on this quiz.").arg(time),
               QString(),
               QStringLiteral("Would you like to print your score?"),
           }
        .join(QStringLiteral("\r\n"));
}

QString sheetLine3(int score, int total, int pct, const QString &time, const QString &date)
{
    return QStringLiteral("Score %1 of %2.  %3%   Time spent %4.  Test date:  %5")
        .arg(score).arg(total).arg(pct).arg(time, date);
}

QString dateText(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}
}
