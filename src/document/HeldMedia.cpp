#include "document/HeldMedia.h"

#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace {
// The folder directly under root that `path` lies in, "" when none.
QString heldFolderOf(const QString &root, const QString &path)
{
    const QString prefix = QDir(root).absolutePath() + QLatin1Char('/');
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!absolute.startsWith(prefix))
        return QString();
    const QString rest = absolute.mid(prefix.size());
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    return slash > 0 ? prefix + rest.left(slash) : QString();
}
}

HeldMedia::HeldMedia(QString root) : m_root(std::move(root)) {}

HeldMedia::~HeldMedia() = default;

QString HeldMedia::defaultRoot()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("held-media"));
}

QString HeldMedia::folder(QString *error)
{
    if (!m_folder.isEmpty())
        return m_folder;
    QString reason;
    if (!PrivateFolder::make(m_root, &reason)) {
        *error = QStringLiteral("cannot use the folder %1: %2").arg(QDir::toNativeSeparators(m_root), reason);
        return QString();
    }
    const QString folder = QDir(m_root).filePath(PrivateFolder::newFolderName());
    if (!PrivateFolder::make(folder, &reason)) {
        *error = QStringLiteral("cannot use the folder %1: %2").arg(QDir::toNativeSeparators(folder), reason);
        return QString();
    }
    auto lock = PrivateFolder::hold(folder);
    if (!lock) {
        PrivateFolder::removeEmptyFolder(folder);
        *error = QStringLiteral("cannot lock %1").arg(QDir::toNativeSeparators(folder));
        return QString();
    }
    m_lock = std::move(lock);
    m_folder = folder;
    return m_folder;
}

bool HeldMedia::holds(const QString &root, const QString &path)
{
    return !root.isEmpty() && !heldFolderOf(root, path).isEmpty();
}

void HeldMedia::adoptFolderOf(const QString &path)
{
    const QString folder = heldFolderOf(m_root, path);
    if (!m_folder.isEmpty() || folder.isEmpty() || !PrivateFolder::unfitness(folder).isEmpty())
        return;
    auto lock = PrivateFolder::hold(folder);
    if (!lock)
        return;
    m_lock = std::move(lock);
    m_folder = folder;
}

void HeldMedia::removeUnreferenced(const QStringList &stillNamed) const
{
    if (!PrivateFolder::unfitness(m_root).isEmpty())
        return;
    QStringList named;
    for (const QString &path : stillNamed)
        if (const QString folder = heldFolderOf(m_root, path); !folder.isEmpty())
            named << folder;
    for (const PrivateFolder::Entry &e : PrivateFolder::list(m_root)) {
        const QString folder = QDir(QDir(m_root).absolutePath()).filePath(e.name);
        if (e.kind != PrivateFolder::Kind::Folder || folder == m_folder || named.contains(folder))
            continue;
        auto lock = PrivateFolder::hold(folder);
        if (!lock)
            continue;   // its editor still runs, or something foreign is in it
        for (const PrivateFolder::Entry &file : PrivateFolder::list(folder))
            if (file.kind == PrivateFolder::Kind::File && file.name != PrivateFolder::LockName)
                PrivateFolder::removeFile(QDir(folder).filePath(file.name));
        lock->unlock();
        PrivateFolder::removeEmptyFolder(folder);
    }
}
