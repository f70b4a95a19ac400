#pragma once
// Who may join a live class, and who is refused and why:
//
// - a name is the class's once: two joins compare names as a teacher reads
//   them (letter case, blanks and character width folded), so "anna  " and
//   "ＡＮＮＡ" are Anna's name, in use;
// - the teacher may lock the room; after that only names let in one by one
//   join;
// - a class list, when there is one, admits its names only;
// - a student the teacher allows one retake joins once more under the name;
// - one device (one address) joins a few times a minute at most, so a
//   client joining in a loop cannot fill the class.
//
// Not thread-safe: LiveClass holds it under its lock.

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class LiveRoom {
public:
    // Joins one address may make in a minute; names on the class list may
    // join more often (a school whose pupils share one address).
    struct Limits {
        int joinsPerMinute = 3;
        int listedJoinsPerMinute = 10;
    };
    enum class Refusal { None, NameInUse, Locked, NotOnList, TooManyJoins };

    // A name as the class compares names.
    static QString fold(const QString &name);
    // What the student's page says, and the HTTP status it comes with.
    static QString message(Refusal refusal);
    static int status(Refusal refusal);

    void setLimits(Limits limits) { m_limits = limits; }
    Limits limits() const { return m_limits; }

    Refusal mayJoin(const QString &name, const QString &address, qint64 nowMs) const;
    // A join taken: the name is in use, an allowed retake is spent, and
    // (when `address` is given) the device's count for the minute grows.
    void joined(const QString &name, const QString &address = QString(), qint64 nowMs = 0);
    // The name free again (the student was removed from the class).
    void release(const QString &name);

    void setLocked(bool locked) { m_locked = locked; }
    bool isLocked() const { return m_locked; }
    // Lets this name join a locked room.
    void letIn(const QString &name);
    // Lets a student whose name is in use join once more under it.
    void allowRetake(const QString &name);
    bool mayRetake(const QString &name) const { return m_retakes.contains(fold(name)); }
    // Only these names may join (none: anyone may).
    void setClassList(const QStringList &names);
    QStringList classList() const { return m_classList; }
    bool isListed(const QString &name) const { return m_listed.contains(fold(name)); }

private:
    Limits m_limits;
    bool m_locked = false;
    QHash<QString, int> m_inUse;   // folded name: students holding it
    QSet<QString> m_letIn;
    QSet<QString> m_retakes;
    QStringList m_classList;
    QSet<QString> m_listed;
    mutable QHash<QString, QList<qint64>> m_joinsBy;   // address: its joins of the last minute
};
