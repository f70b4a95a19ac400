#include "platform/PrivateFolder.h"

#include "platform/OutputFolder.h"

#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUuid>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace PrivateFolder {
namespace {

const QString TemporaryPrefix = QStringLiteral(".part-");

#ifdef Q_OS_UNIX
QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QByteArray nativeName(const QString &path) { return QFile::encodeName(path); }

// Why an entry seen with lstat is not one of ours ("" when it is).
QString foreignReason(const struct stat &st, bool wantFolder)
{
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("a symbolic link");
    if (st.st_uid != ::geteuid())
        return QStringLiteral("owned by another user");
    if (wantFolder ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode))
        return wantFolder ? QStringLiteral("not a folder") : QStringLiteral("not a regular file");
    return {};
}

// An open handle on a regular file of ours, never through a link.
int openOwnFile(const QString &path, int flags, QString *reason)
{
    const int fd = ::open(nativeName(path).constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *reason = errno == ELOOP ? QStringLiteral("a symbolic link") : systemReason(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !(*reason = foreignReason(st, false)).isEmpty()) {
        if (reason->isEmpty())
            *reason = systemReason(errno);
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

#endif

} // namespace

QString unfitness(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::lstat(nativeName(path).constData(), &st) != 0)
        return systemReason(errno);
    if (const QString why = foreignReason(st, true); !why.isEmpty())
        return why;
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("writable by other users");
    return {};
#else
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("a symbolic link");
    return info.isDir() ? QString() : QStringLiteral("not a folder");
#endif
}

bool make(const QString &path, QString *reason)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::lstat(nativeName(path).constData(), &st) != 0) {
        const QString parent = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(parent)) {
            *reason = QStringLiteral("its parent folder cannot be made");
            return false;
        }
        if (::mkdir(nativeName(path).constData(), 0700) != 0 && errno != EEXIST) {
            *reason = systemReason(errno);
            return false;
        }
    }
    *reason = unfitness(path);
    if (!reason->isEmpty())
        return false;
    // An old folder of ours may have been made with the usual mode; no
    // one else reads a teacher's unsaved test.
    if (::lstat(nativeName(path).constData(), &st) == 0 && (st.st_mode & 077))
        ::chmod(nativeName(path).constData(), 0700);
    return true;
#else
    if (!QDir().mkpath(path)) {
        *reason = QStringLiteral("cannot be made");
        return false;
    }
    *reason = unfitness(path);
    return reason->isEmpty();
#endif
}

std::shared_ptr<const OutputFolder> open(const QString &path, QString *reason)
{
    if (!make(path, reason))
        return nullptr;
#ifdef Q_OS_UNIX
    // Judged again on the handle: the name may have been swapped since.
    const int fd = ::open(nativeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        *reason = errno == ELOOP || errno == ENOTDIR ? QStringLiteral("a symbolic link") : systemReason(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !(*reason = foreignReason(st, true)).isEmpty()
        || ((st.st_mode & (S_IWGRP | S_IWOTH)) && (*reason = QStringLiteral("writable by other users"), true))) {
        if (reason->isEmpty())
            *reason = systemReason(errno);
        ::close(fd);
        return nullptr;
    }
    if (st.st_mode & 077)
        ::fchmod(fd, 0700);
    return OutputFolder::adopt(fd, path);
#else
    return OutputFolder::open(path);
#endif
}

std::vector<Entry> list(const QString &folder)
{
    std::vector<Entry> entries;
#ifdef Q_OS_UNIX
    const int dirFd = ::open(nativeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0)
        return entries;
    DIR *dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return entries;
    }
    while (const dirent *d = ::readdir(dir)) {
        const QByteArray raw(d->d_name);
        if (raw == "." || raw == "..")
            continue;
        Entry e;
        e.name = QFile::decodeName(raw);
        struct stat st {};
        if (::fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            e.foreignReason = systemReason(errno);
        } else if (S_ISDIR(st.st_mode) && st.st_uid == ::geteuid()) {
            e.kind = Kind::Folder;
        } else if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
            e.kind = Kind::File;
        } else {
            e.foreignReason = foreignReason(st, S_ISDIR(st.st_mode));
        }
        entries.push_back(e);
    }
    ::closedir(dir);
#else
    const QFileInfoList infos = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &i : infos) {
        Entry e;
        e.name = i.fileName();
        if (i.isSymLink())
            e.foreignReason = QStringLiteral("a symbolic link");
        else if (i.isDir())
            e.kind = Kind::Folder;
        else if (i.isFile())
            e.kind = Kind::File;
        else
            e.foreignReason = QStringLiteral("not a regular file");
        entries.push_back(e);
    }
#endif
    return entries;
}

QByteArray read(const QString &path, qint64 limit, QString *reason)
{
    reason->clear();
#ifdef Q_OS_UNIX
    const int fd = openOwnFile(path, O_RDONLY, reason);
    if (fd < 0)
        return {};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *reason = file.errorString();
        return {};
    }
#else
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return {};
    }
#endif
    QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        *reason = file.errorString();
    else if (bytes.size() > limit)
        *reason = RegularFile::tooLarge(limit);
    return reason->isEmpty() ? bytes : QByteArray();
}

bool write(const QString &path, const QByteArray &bytes, QString *reason)
{
    const QFileInfo target(path);
#ifdef Q_OS_UNIX
    QByteArray temporary = nativeName(target.dir().filePath(TemporaryPrefix + target.fileName() + QStringLiteral(".XXXXXX")));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);   // 0600, never an existing name
    if (fd < 0) {
        *reason = systemReason(errno);
        return false;
    }
    int error = 0;
    if (!OutputFolder::writeAll(fd, bytes.constData(), bytes.size()) || ::fsync(fd) != 0)
        error = errno ? errno : EIO;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.constData(), nativeName(path).constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.constData());
        *reason = systemReason(error);
        return false;
    }
    return true;
#else
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        *reason = file.errorString();
        file.close();
        QFile::remove(path);
        return false;
    }
    return true;
#endif
}

void makeOwnerOnly(const QString &path)
{
#ifdef Q_OS_UNIX
    QString reason;
    const int fd = openOwnFile(path, O_RDONLY, &reason);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
    }
#else
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
}

bool removeFile(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::lstat(nativeName(path).constData(), &st) != 0)
        return errno == ENOENT;
    if (!foreignReason(st, false).isEmpty())
        return false;
    return ::unlink(nativeName(path).constData()) == 0;
#else
    const QFileInfo info(path);
    return !info.exists() || (!info.isSymLink() && info.isFile() && QFile::remove(path));
#endif
}

bool removeEmptyFolder(const QString &path)
{
#ifdef Q_OS_UNIX
    return ::rmdir(nativeName(path).constData()) == 0 || errno == ENOENT;
#else
    return QDir().rmdir(path);
#endif
}

bool isLeftoverTemporary(const QString &name) { return name.startsWith(TemporaryPrefix); }

const QString LockName = QStringLiteral("owner.lock");

std::unique_ptr<QLockFile> ownerLock(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(LockName));
    lock->setStaleLockTime(0);
    return lock;
}

std::unique_ptr<QLockFile> hold(const QString &folder, Entry *foreign)
{
    Entry ignored;
    Entry &found = foreign ? *foreign : ignored;
    found = Entry();
#ifdef Q_OS_UNIX
    // A lock is a few lines of text; anything larger was not written by us.
    constexpr off_t kLargestLock = 4096;
    for (const QString &name : {LockName, LockName + QStringLiteral(".rmlock")}) {
        struct stat st {};
        if (::lstat(nativeName(QDir(folder).filePath(name)).constData(), &st) != 0)
            continue;
        QString why = foreignReason(st, false);
        if (why.isEmpty() && (st.st_nlink != 1 || st.st_size > kLargestLock))
            why = QStringLiteral("not a lock of this program's");
        if (!why.isEmpty()) {
            found = Entry{name, Kind::Foreign, why};
            return nullptr;
        }
    }
#endif
    auto lock = ownerLock(folder);
    if (!lock->tryLock(0))
        return nullptr;
    makeOwnerOnly(lock->fileName());
    return lock;
}

QString newFolderName()
{
    return QStringLiteral("%1-%2").arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")),
                                       QUuid::createUuid().toString(QUuid::Id128).left(8));
}

}
