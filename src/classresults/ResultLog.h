#pragma once
// Reads the result log a web quiz saves (a score log: Windows-1252 lines
// scrambled with the score-log key). A log of anything else (the quiz
// player's own score logs) is told apart from one that is damaged: cut
// short, scrambled with another key, with lines no result holds, too large,
// or not a regular file.

#include "classresults/StudentResult.h"

#include <QByteArray>
#include <QString>

struct ResultRead {
    enum class Outcome { Result, NotAResult, Unreadable };
    Outcome outcome = Outcome::Unreadable;
    StudentResult result;
    QString reason;   // why it is unreadable ("cut short after question 7 of 10")
    bool privateFile = false;   // only its owner may read the log
};

namespace ResultLog {
// No result of 100 questions comes near this.
constexpr qint64 MaxBytes = 256 * 1024;
// Longer than any attempt, even one resumed over weeks: a time above it is
// no real time spent.
constexpr int kLongestAttemptSeconds = 31 * 24 * 60 * 60;

ResultRead read(const QString &path);
// The log's bytes as read from `path` (named in the result).
ResultRead parse(const QByteArray &bytes, const QString &path);

// "42 seconds" or "2 minutes and 1 seconds", as the report writes a time;
// -1 for anything else.
int secondsOf(const QString &timeText);
}
