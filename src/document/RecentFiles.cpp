#include "document/RecentFiles.h"
#include "platform/MessageService.h"
#include "platform/SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Settings");
QString key(int i) { return QStringLiteral("MRU") + QString::number(i); }
}

Qt::CaseSensitivity RecentFiles::pathCase()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

QString RecentFiles::listedPath(const QString &path)
{
    return pathCase() == Qt::CaseInsensitive ? path.toLower() : path;
}

bool RecentFiles::add(const QString &path)
{
    if (path.isEmpty())
        return false;
    for (const QString &e : m_entries)
        if (e.compare(path, pathCase()) == 0)
            return false;
    for (int i = Count - 1; i > 0; --i)
        m_entries[i] = m_entries[i - 1];
    m_entries[0] = path;
    return true;
}

void RecentFiles::load(const SettingsStore &store)
{
    for (int i = 1; i <= Count; ++i) {
        // A value emptied by hand counts as an empty slot, not as a nameless file.
        const QString v = store.value(kAppTitle, kSection, key(i), Empty);
        m_entries[i - 1] = v.isEmpty() ? Empty : v;
    }
}

void RecentFiles::save(SettingsStore &store) const
{
    for (int i = 1; i <= Count; ++i)
        store.setValue(kAppTitle, kSection, key(i), m_entries[i - 1]);
}
