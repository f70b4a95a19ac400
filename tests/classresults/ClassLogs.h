#pragma once
// Result logs for the class results tests, written as the web quiz writes
// them (scrambled lines ended by CR LF).

#include "document/LineCodec.h"

#include <QFile>
#include <QStringList>

struct LogSpec {
    QString name;
    QStringList given, right;
    int seconds = 60;
    QString date = QStringLiteral("2026-12-01 10:00:00");
    QString title = QStringLiteral("Rivers");
    QString testId = QStringLiteral("0123456789ab");   // "" for a log of an older page
};

inline QString timeText(int seconds)
{
    return seconds <= 60 ? QStringLiteral("%1 seconds").arg(seconds)
                         : QStringLiteral("%1 minutes and %2 seconds").arg(seconds / 60).arg(seconds % 60);
}

inline QStringList logLines(const LogSpec &s)
{
    int score = 0;
    for (int q = 0; q < s.given.size(); ++q)
        score += s.given[q] == s.right[q];
    const int total = int(s.given.size());
    QStringList lines = {QStringLiteral("Ardeno web quiz result"), QStringLiteral("Test: ") + s.title};
    if (!s.testId.isEmpty())
        lines << QStringLiteral("Test id: ") + s.testId;
    lines << QStringLiteral("Class/Teacher: Class 3") << QStringLiteral("Student: ") + s.name
          << QStringLiteral("Date: ") + s.date
          << QStringLiteral("Score: %1 correct of %2 total questions.").arg(score).arg(total)
          << QStringLiteral("Percent: %1").arg(score * 100 / total) << QStringLiteral("Time spent: ") + timeText(s.seconds);
    for (int q = 0; q < total; ++q)
        lines << QStringLiteral("Question %1: answered %2, right answer %3").arg(q + 1).arg(s.given[q], s.right[q]);
    return lines;
}

inline QByteArray scrambled(const QStringList &lines, unsigned char key = LineCodec::ScoreLogKey)
{
    QByteArray out;
    for (const QString &line : lines)
        out += LineCodec::apply(line.toLatin1(), key) + "\r\n";
    return out;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
