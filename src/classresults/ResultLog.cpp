#include "classresults/ResultLog.h"

#include "classresults/ResultLogText.h"
#include "document/ScoreLog.h"
#include "platform/OpenFile.h"

#include <QRegularExpression>

namespace {
constexpr int kMaxQuestions = 100;
constexpr int kLongestLine = 4096;

ResultRead unreadable(const QString &reason)
{
    ResultRead r;
    r.outcome = ResultRead::Outcome::Unreadable;
    r.reason = reason;
    return r;
}

// Text unscrambled with another key is mostly control characters and
// letters of the upper half; the quiz player's own logs and ours are mostly
// plain ASCII text, whatever their language.
bool looksScrambledOtherwise(const QString &text)
{
    qsizetype odd = 0;
    const qsizetype sample = qMin<qsizetype>(text.size(), 2000);
    for (qsizetype i = 0; i < sample; ++i) {
        const char16_t c = text[i].unicode();
        if ((c < 0x20 && c != u'\r' && c != u'\n' && c != u'\t') || c > 0x7E)
            ++odd;
    }
    return sample > 0 && odd * 10 > sample * 3;
}

// The text after "Key: " when the line starts so.
bool field(const QString &line, QLatin1String key, QString *value)
{
    if (!line.startsWith(key))
        return false;
    *value = line.mid(key.size());
    return true;
}

bool isOption(const QString &s, bool allowUnknown)
{
    static const QStringList options = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                        QStringLiteral("D"), QStringLiteral("True"), QStringLiteral("False"),
                                        QStringLiteral("-")};
    return options.contains(s) || (allowUnknown && s == QLatin1String("?"));
}
}

namespace ResultLog {
int secondsOf(const QString &timeText)
{
    static const QRegularExpression seconds(QStringLiteral("^(\\d{1,9}) seconds$"));
    static const QRegularExpression minutes(QStringLiteral("^(\\d{1,7}) minutes and (\\d{1,2}) seconds$"));
    QRegularExpressionMatch m = seconds.match(timeText);
    if (m.hasMatch())
        return m.captured(1).toInt();
    m = minutes.match(timeText);
    if (m.hasMatch())
        return m.captured(1).toInt() * 60 + m.captured(2).toInt();
    return -1;
}

ResultRead read(const QString &path)
{
    QString reason;
    const OpenFilePtr file = OpenFile::open(path, &reason);
    if (!file)
        return unreadable(reason);
    if (file->size() > MaxBytes)
        return unreadable(QStringLiteral("larger than any result (%1 KB at most)").arg(MaxBytes / 1024));
    const QByteArray bytes = file->readAll(MaxBytes, &reason);
    if (!reason.isEmpty())
        return unreadable(reason);
    ResultRead r = parse(bytes, path);
    // What is made of the class is kept as private as its logs were.
    r.privateFile = file->isPrivate();
    return r;
}

ResultRead parse(const QByteArray &bytes, const QString &path)
{
    if (bytes.isEmpty())
        return unreadable(QStringLiteral("empty"));
    const QString text = ScoreLog::textFromBytes(bytes);
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.value(0) != QLatin1String("Ardeno web quiz result")) {
        if (looksScrambledOtherwise(text))
            return unreadable(QStringLiteral("not scrambled as a score log is"));
        ResultRead r;
        r.outcome = ResultRead::Outcome::NotAResult;
        return r;
    }
    for (const QString &line : lines)
        if (line.size() > kLongestLine)
            return unreadable(QStringLiteral("a line of %1 characters, longer than any result holds").arg(line.size()));

    StudentResult s;
    s.file = path;
    int at = 1;
    QString value;
    const auto next = [&](QLatin1String key, QString *out) { return at < lines.size() && field(lines[at++], key, out); };
    if (!next(QLatin1String("Test: "), &s.title))
        return unreadable(QStringLiteral("no \"Test:\" line"));
    if (at < lines.size() && field(lines[at], QLatin1String("Test id: "), &s.testId))
        ++at;
    if (!next(QLatin1String("Class/Teacher: "), &s.teacher) || !next(QLatin1String("Student: "), &s.name))
        return unreadable(QStringLiteral("the file ends before the student's name: it was not saved whole; ask for the result again"));
    if (!next(QLatin1String("Date: "), &value))
        return unreadable(QStringLiteral("no \"Date:\" line"));
    s.date = QDateTime::fromString(value, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!s.date.isValid())
        return unreadable(QStringLiteral("the date \"%1\" is not one a result writes").arg(value.left(40)));

    static const QRegularExpression scoreLine(QStringLiteral("^(\\d{1,3}) correct of (\\d{1,3}) total questions\\.$"));
    if (!next(QLatin1String("Score: "), &value))
        return unreadable(QStringLiteral("no \"Score:\" line"));
    const QRegularExpressionMatch score = scoreLine.match(value);
    s.score = score.captured(1).toInt();
    s.total = score.captured(2).toInt();
    if (!score.hasMatch() || s.total < 1 || s.total > kMaxQuestions || s.score > s.total)
        return unreadable(QStringLiteral("the score \"%1\" is not one a result writes").arg(value.left(40)));
    bool ok = false;
    if (next(QLatin1String("Percent: "), &value))
        s.percent = value.toInt(&ok);
    if (!ok || s.percent < 0 || s.percent > 100)
        return unreadable(QStringLiteral("no percent from 0 to 100"));
    s.seconds = next(QLatin1String("Time spent: "), &value) ? secondsOf(value) : -1;
    if (s.seconds < 0)
        return unreadable(QStringLiteral("no time spent"));

    static const QRegularExpression questionLine(QStringLiteral("^Question (\\d{1,3}): answered ([^,]*), right answer (.*)$"));
    for (int q = 1; q <= s.total; ++q) {
        if (at >= lines.size())
            return unreadable(QStringLiteral("the file ends after question %1 of %2: it was not saved whole; ask for the "
                                             "result again").arg(q - 1).arg(s.total));
        const QRegularExpressionMatch m = questionLine.match(lines[at++]);
        if (!m.hasMatch() || m.captured(1).toInt() != q || !isOption(m.captured(2), false)
            || !isOption(m.captured(3), true))
            return unreadable(QStringLiteral("question %1 is not stated as a result states it").arg(q));
        s.given << m.captured(2);
        s.right << m.captured(3);
    }
    // A name the "Student:" line could not hold whole, as it was typed.
    if (at < lines.size() && field(lines[at], QLatin1String(ResultLogText::NameAsTypedKey), &value)) {
        if (const QString typed = ResultLogText::nameFromLine(value); !typed.isEmpty())
            s.name = typed;
    }
    // A log whose figures contradict its own answers (edited by hand, or
    // made by something else) is kept out of the figures, as a damaged one.
    int right = 0;
    for (int q = 0; q < s.total; ++q)
        right += s.isRight(q);
    if (right != s.score)
        return unreadable(QStringLiteral("its score says %1 right, but its answers hold %2").arg(s.score).arg(right));
    if (s.percent != s.score * 100 / s.total)
        return unreadable(QStringLiteral("its percent (%1) is not its score's (%2)").arg(s.percent).arg(s.score * 100 / s.total));
    if (s.seconds > kLongestAttemptSeconds)
        return unreadable(QStringLiteral("a time spent of %L1 seconds, more than any attempt takes").arg(s.seconds));
    ResultRead r;
    r.outcome = ResultRead::Outcome::Result;
    r.result = s;
    return r;
}
}
