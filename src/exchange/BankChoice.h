#pragma once
// Choosing the questions of a test from a bank larger than the room the
// test has: which questions are shown (a text filter, a category), which
// are checked, and a draw at random among those shown that checks exactly
// the ones drawn, so the teacher sees the draw before it is taken.

#include "exchange/QuestionImport.h"

#include <QSet>

class BankChoice {
public:
    BankChoice(QList<BankEntry> entries, int room);

    const QList<BankEntry> &entries() const { return m_entries; }
    int room() const { return m_room; }
    // The categories the file names, in the order they first come.
    QStringList categories() const;

    // Shown: entries whose text holds `filter` (letter case aside) and, when
    // `category` is not empty, filed under it.
    void setFilter(const QString &filter, const QString &category);
    const QList<int> &shown() const { return m_shown; }   // indexes into entries()

    bool isChecked(int entry) const { return m_checked.contains(entry); }
    void setChecked(int entry, bool checked);
    // Adds `n` of the shown entries not checked yet, drawn from `seed`, to
    // what is checked (choices made before, hidden ones too, stay); returns
    // how many were added (fewer when fewer are left to draw).
    int draw(int n, quint32 seed);
    int checkedCount() const { return int(m_checked.size()); }
    // Between one and `room` questions checked.
    bool canTake() const { return checkedCount() >= 1 && checkedCount() <= m_room; }
    // The places (ImportRequest::pick) of the checked entries, in file order.
    QList<int> picked() const;

private:
    QList<BankEntry> m_entries;
    int m_room;
    QList<int> m_shown;
    QSet<int> m_checked;
};
