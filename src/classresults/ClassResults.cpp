#include "classresults/ClassResults.h"

#include <QFile>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace {
// The file itself, not its name: a link to a log (or a second hard link)
// is the same result, never a second attempt.
QString fileIdentity(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        return QStringLiteral("%1:%2").arg(quint64(st.st_dev)).arg(quint64(st.st_ino));
#endif
    const QFileInfo info(path);
    return info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
}
}

void ClassResults::add(const ResultRead &read, const QString &path)
{
    const QString identity = fileIdentity(path);
    if (m_files.contains(identity))
        return;
    m_files.insert(identity);
    m_private = m_private || read.privateFile;
    switch (read.outcome) {
    case ResultRead::Outcome::Result:
        m_results << read.result;
        m_counted = false;
        break;
    case ResultRead::Outcome::NotAResult:
        m_notResults << path;
        break;
    case ResultRead::Outcome::Unreadable:
        m_unreadable << ResultNotice{path, read.reason};
        break;
    }
}

void ClassResults::recount() const
{
    if (m_counted)
        return;
    m_counted = true;
    // The class's test is the one most results name: by its identity where
    // the results carry one (results of older pages carry none), else by
    // title and question count.
    QHash<QString, int> votes;
    int best = 0;
    m_reference = -1;
    for (int i = 0; i < m_results.size(); ++i) {
        const StudentResult &r = m_results[i];
        const QString key = r.testId.isEmpty() ? QStringLiteral("~%1\n%2").arg(r.total).arg(r.title) : r.testId;
        const int v = ++votes[key];
        if (v > best) {
            best = v;
            m_reference = i;
        }
    }
    m_other.fill(false, m_results.size());
    if (m_reference >= 0) {
        const StudentResult &ref = m_results[m_reference];
        for (int i = 0; i < m_results.size(); ++i) {
            const StudentResult &r = m_results[i];
            m_other[i] = !r.testId.isEmpty() && !ref.testId.isEmpty() ? r.testId != ref.testId
                                                                       : r.title != ref.title || r.total != ref.total;
        }
    }
    // Each student's results of the class's test (name, letter case and
    // blanks aside), numbered by date; of two at the same moment, the one
    // added first is the earlier.
    QHash<QString, QList<int>> byStudent;
    for (int i = 0; i < m_results.size(); ++i)
        if (!m_other[i])
            byStudent[m_results[i].name.simplified().toCaseFolded()] << i;
    m_attempts.fill(Attempt(), m_results.size());
    for (QList<int> &same : byStudent) {
        std::stable_sort(same.begin(), same.end(),
                         [this](int a, int b) { return m_results[a].date < m_results[b].date; });
        for (int n = 0; n < same.size(); ++n)
            m_attempts[same[n]] = {n + 1, int(same.size()), false};
        // An attempt begun (handed in less its time spent) before the one
        // before it was handed in.
        for (int n = 1; n < same.size(); ++n) {
            const StudentResult &before = m_results[same[n - 1]], &now = m_results[same[n]];
            if (now.date.addSecs(-qMax(0, now.seconds)) < before.date)
                m_attempts[same[n - 1]].overlaps = m_attempts[same[n]].overlaps = true;
        }
    }
}

QString ClassResults::testTitle() const
{
    recount();
    return m_reference < 0 ? QString() : m_results[m_reference].title;
}

QString ClassResults::testId() const
{
    recount();
    return m_reference < 0 ? QString() : m_results[m_reference].testId;
}

int ClassResults::questionCount() const
{
    recount();
    return m_reference < 0 ? 0 : m_results[m_reference].total;
}

bool ClassResults::isOtherTest(int i) const
{
    recount();
    return m_other.value(i);
}

int ClassResults::attemptsOf(int i) const
{
    recount();
    return m_attempts.value(i).of;
}

bool ClassResults::isEarlierAttempt(int i) const
{
    recount();
    return m_attempts.value(i).number < m_attempts.value(i).of;
}

bool ClassResults::isCountedAttempt(int i, const Filter &filter) const
{
    recount();
    const Attempt a = m_attempts.value(i);
    return filter.latestAttemptOnly ? a.number == a.of : a.number == 1;
}

QStringList ClassResults::flags(int i) const
{
    return flags(i, Filter());
}

QStringList ClassResults::flags(int i, const Filter &filter) const
{
    QStringList out;
    if (isOtherTest(i))
        out << QStringLiteral("another test");
    if (attemptsOf(i) > 1)
        out << QStringLiteral("attempt %1 of %2%3")
                   .arg(m_attempts[i].number)
                   .arg(m_attempts[i].of)
                   .arg(isCountedAttempt(i, filter) ? QStringLiteral(", counted") : QStringLiteral(", a re-take"));
    if (m_attempts.value(i).overlaps)
        out << QStringLiteral("two students with one name?");
    return out;
}

QList<int> ClassResults::shown(const Filter &filter) const
{
    QList<int> out;
    for (int i = 0; i < m_results.size(); ++i) {
        if (isOtherTest(i) && !filter.showOtherTests)
            continue;
        if (filter.latestAttemptOnly && isEarlierAttempt(i))
            continue;
        out << i;
    }
    return out;
}

QList<int> ClassResults::counted(const Filter &filter) const
{
    QList<int> out;
    for (int i : shown(filter))
        if (!isOtherTest(i) && isCountedAttempt(i, filter))
            out << i;
    return out;
}
