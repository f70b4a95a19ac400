#include "exchange/BankChoice.h"

#include <algorithm>

BankChoice::BankChoice(QList<BankEntry> entries, int room) : m_entries(std::move(entries)), m_room(room)
{
    setFilter(QString(), QString());
}

QStringList BankChoice::categories() const
{
    QStringList out;
    for (const BankEntry &e : m_entries)
        if (!e.category.isEmpty() && !out.contains(e.category))
            out << e.category;
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

void BankChoice::draw(int n, quint32 seed)
{
    m_checked.clear();
    for (int k : drawAtRandom(n, int(m_shown.size()), seed))
        m_checked.insert(m_shown[k]);
}

QList<int> BankChoice::picked() const
{
    QList<int> out;
    for (int i : m_checked)
        out << m_entries[i].place;
    std::sort(out.begin(), out.end());
    return out;
}
