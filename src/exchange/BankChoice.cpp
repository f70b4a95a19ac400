#include "exchange/BankChoice.h"

#include <QSet>
#include <algorithm>

BankChoice::BankChoice(QList<BankEntry> entries, int room) : m_entries(std::move(entries)), m_room(room)
{
    setFilter(QString(), QString());
}

QStringList BankChoice::categories() const
{
    // A set for the test of "seen": a bank of thousands of deep categories
    // is read in one pass.
    QStringList out;
    QSet<QString> seen;
    for (const BankEntry &e : m_entries)
        if (!e.category.isEmpty() && !seen.contains(e.category)) {
            seen.insert(e.category);
            out << e.category;
        }
    return out;
}

void BankChoice::setFilter(const QString &filter, const QString &category)
{
    m_shown.clear();
    const QString wanted = filter.trimmed();
    for (int i = 0; i < m_entries.size(); ++i) {
        const BankEntry &e = m_entries[i];
        if ((wanted.isEmpty() || e.text.contains(wanted, Qt::CaseInsensitive))
            && (category.isEmpty() || e.category == category))
            m_shown << i;
    }
}

void BankChoice::setChecked(int entry, bool checked)
{
    if (checked)
        m_checked.insert(entry);
    else
        m_checked.remove(entry);
}

int BankChoice::draw(int n, quint32 seed)
{
    QList<int> open;
    for (int entry : std::as_const(m_shown))
        if (!m_checked.contains(entry))
            open << entry;
    const QList<int> drawn = drawAtRandom(n, int(open.size()), seed);
    for (int k : drawn)
        m_checked.insert(open[k]);
    return int(drawn.size());
}

QList<int> BankChoice::picked() const
{
    QList<int> out;
    for (int i : m_checked)
        out << m_entries[i].place;
    std::sort(out.begin(), out.end());
    return out;
}
