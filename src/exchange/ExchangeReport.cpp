#include "exchange/ExchangeReport.h"

#include "document/TestFile.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

void ExchangeReport::fail(const QString &message, int line)
{
    m_error = line > 0 ? atLine(line) + QStringLiteral(": ") + message : message;
}

void ExchangeReport::skip(const QString &where, const QString &why)
{
    countReason(why, 1);
    if (m_skipped.size() < ListedAtMost)
        m_skipped << (where.isEmpty() ? why : where + QStringLiteral(": ") + why);
}

void ExchangeReport::skipUnlisted(const QString &why, int count)
{
    if (count > 0)
        countReason(why, count);
}

void ExchangeReport::countReason(const QString &why, int count)
{
    static const QRegularExpression details(QStringLiteral("\"[^\"]*\"|\\d+"));
    Reason &r = m_reasons[QString(why).replace(details, QStringLiteral("#"))];
    if (r.count == 0) {
        r.shown = why;
        r.first = m_skippedCount;
    }
    r.count += count;
    m_skippedCount += count;
}

void ExchangeReport::failCancelledExport()
{
    fail(QStringLiteral("The export was cancelled; nothing was written."));
}

void ExchangeReport::note(const QString &text)
{
    // A note is said once; a few dozen kinds at most exist.
    if (m_notes.size() < ListedAtMost && !m_notes.contains(text))
        m_notes << text;
}

void ExchangeReport::sortSkipped()
{
    const auto place = [](const QString &line) {
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        return blank > 0 && colon > blank ? line.mid(blank + 1, colon - blank - 1).toInt() : 0;
    };
    std::stable_sort(m_skipped.begin(), m_skipped.end(),
                     [&](const QString &a, const QString &b) { return place(a) < place(b); });
}

void ExchangeReport::absorb(const ExchangeReport &other)
{
    for (const QString &line : other.m_skipped)
        if (m_skipped.size() < ListedAtMost)
            m_skipped << line;
    QList<Reason> theirs = other.m_reasons.values();
    std::sort(theirs.begin(), theirs.end(), [](const Reason &a, const Reason &b) { return a.first < b.first; });
    for (const Reason &r : theirs)
        countReason(r.shown, r.count);
    for (const QString &n : other.m_notes)
        note(n);
    if (other.failed() && !failed())
        m_error = other.m_error;
}

QStringList ExchangeReport::countsByReason() const
{
    QList<Reason> sorted = m_reasons.values();
    std::sort(sorted.begin(), sorted.end(), [](const Reason &a, const Reason &b) {
        return a.count != b.count ? a.count > b.count : a.first < b.first;
    });
    QStringList out;
    for (const Reason &r : sorted)
        out << QStringLiteral("%1 \u00D7 %2").arg(r.count).arg(r.shown);
    return out;
}

QString ExchangeReport::text() const
{
    QStringList lines;
    if (failed())
        lines << m_error;
    else if (!m_summary.isEmpty())
        lines << m_summary;
    // A large file's report starts with what matters: how many stayed
    // behind, and why.
    if (m_skippedCount >= CountsFrom) {
        lines << QStringLiteral("%1 left behind, by reason:").arg(m_skippedCount) << countsByReason()
              << QStringLiteral("Line by line:");
    }
    lines << m_skipped;
    if (m_skippedCount > m_skipped.size())
        lines << QStringLiteral("... and %1 more, counted above.").arg(m_skippedCount - m_skipped.size());
    lines << m_notes;
    return lines.join(QLatin1Char('\n'));
}

QString ExchangeReport::atLine(int line)
{
    return QStringLiteral("Line %1").arg(line);
}

QString ExchangeReport::atQuestion(int number)
{
    return QStringLiteral("Question %1").arg(number);
}

void ExchangeReport::skipUnstorable(const QString &where, const QString &text)
{
    const QString named = unstorableCharactersNamed(text);
    if (!named.isEmpty())
        skip(where, QStringLiteral("%1 cannot be stored in an Ardeno test, which holds \"?\" in their place.")
                        .arg(named));
}
