#include "logview/LogLineIndex.h"

namespace {
// A class's log is a few hundred lines of under a hundred characters. Far
// beyond these, the text box becomes slow (its layout grows with every line
// and a long line is measured again on each caret blink).
constexpr qsizetype kLargeChars = 1024 * 1024;
constexpr qsizetype kLargeLines = 20000;
constexpr qsizetype kLongLine = 4000;
}

LogLineIndex::LogLineIndex(QString crlfText) : m_text(std::move(crlfText))
{
    const qsizetype n = m_text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = m_text.indexOf(QLatin1String("\r\n"), start);
        if (end < 0)
            end = n;
        m_starts.append(start);
        m_longest = qMax(m_longest, end - start);
        start = end + 2;
    }
    m_starts.squeeze();
}

QStringView LogLineIndex::line(qsizetype i) const
{
    if (i < 0 || i >= m_starts.size())
        return {};
    const qsizetype start = m_starts[i];
    qsizetype end = i + 1 < m_starts.size() ? m_starts[i + 1] - 2 : m_text.size();
    if (end > start && end == m_text.size() && m_text.endsWith(QLatin1String("\r\n")))
        end -= 2;
    return QStringView(m_text).mid(start, qMax<qsizetype>(0, end - start));
}

bool LogLineIndex::isLarge(const QString &crlfText)
{
    if (crlfText.size() > kLargeChars)
        return true;
    qsizetype lines = 0;
    qsizetype start = 0;
    const qsizetype n = crlfText.size();
    while (start < n) {
        qsizetype end = crlfText.indexOf(QLatin1String("\r\n"), start);
        if (end < 0)
            end = n;
        if (end - start > kLongLine || ++lines > kLargeLines)
            return true;
        start = end + 2;
    }
    return false;
}
