#include "live/LiveRoom.h"

namespace {
constexpr qint64 kMinuteMs = 60 * 1000;
}

QString LiveRoom::fold(const QString &name)
{
    // Compatibility forms fold full-width letters and the like into their
    // plain ones; blanks of every kind become one.
    return name.normalized(QString::NormalizationForm_KC).toCaseFolded().simplified();
}

QString LiveRoom::message(Refusal refusal)
{
    switch (refusal) {
    case Refusal::None:
        break;
    case Refusal::NameInUse:
        return QStringLiteral("That name is in use in this class. If it is yours, go on in the browser you began "
                              "in; if not, add a letter of your family name, or ask your teacher.");
    case Refusal::Locked:
        return QStringLiteral("The class has started. Ask your teacher to let you in.");
    case Refusal::NotOnList:
        return QStringLiteral("That name is not on the class list. Choose your name from the list, or ask your "
                              "teacher.");
    case Refusal::TooManyJoins:
        return QStringLiteral("Too many names were sent from this device. Wait a minute, then try again, or ask "
                              "your teacher.");
    }
    return {};
}

int LiveRoom::status(Refusal refusal)
{
    switch (refusal) {
    case Refusal::None:
        return 201;
    case Refusal::NameInUse:
        return 409;
    case Refusal::Locked:
    case Refusal::NotOnList:
        return 403;
    case Refusal::TooManyJoins:
        return 429;
    }
    return 403;
}

LiveRoom::Refusal LiveRoom::mayJoin(const QString &name, const QString &address, qint64 nowMs) const
{
    const QString key = fold(name);
    if (!m_listed.isEmpty() && !m_listed.contains(key))
        return Refusal::NotOnList;
    if (m_inUse.value(key) > 0 && !m_retakes.contains(key))
        return Refusal::NameInUse;
    if (m_locked && !m_letIn.contains(key) && !m_retakes.contains(key))
        return Refusal::Locked;
    if (!address.isEmpty()) {
        const int limit = m_listed.contains(key) ? m_limits.listedJoinsPerMinute : m_limits.joinsPerMinute;
        QList<qint64> &recent = m_joinsBy[address];
        recent.removeIf([nowMs](qint64 at) { return nowMs - at >= kMinuteMs; });
        if (recent.isEmpty())
            m_joinsBy.remove(address);
        else if (limit > 0 && recent.size() >= limit)
            return Refusal::TooManyJoins;
    }
    return Refusal::None;
}

void LiveRoom::joined(const QString &name, const QString &address, qint64 nowMs)
{
    const QString key = fold(name);
    if (m_inUse.value(key) > 0)
        m_retakes.remove(key);
    ++m_inUse[key];
    if (!address.isEmpty())
        m_joinsBy[address] << nowMs;
}

void LiveRoom::release(const QString &name)
{
    const QString key = fold(name);
    if (--m_inUse[key] <= 0)
        m_inUse.remove(key);
}

void LiveRoom::letIn(const QString &name)
{
    m_letIn.insert(fold(name));
}

void LiveRoom::allowRetake(const QString &name)
{
    m_retakes.insert(fold(name));
}

void LiveRoom::setClassList(const QStringList &names)
{
    m_classList.clear();
    m_listed.clear();
    for (const QString &name : names) {
        const QString typed = name.simplified();
        if (!typed.isEmpty() && !m_listed.contains(fold(typed))) {
            m_classList << typed;
            m_listed.insert(fold(typed));
        }
    }
}
