#include "platform/OutputFolder.h"

#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#include <io.h>
#endif

namespace {
QString systemReason(int error)
{
    return qt_error_string(error);
}

#ifdef Q_OS_UNIX
QByteArray encoded(const QString &name)
{
    return QFile::encodeName(name);
}

#endif
}

bool OutputFolder::writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const auto n = ::write(fd, data, static_cast<unsigned>(qMin<qint64>(size, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

QString OutputFolder::cutToBytes(const QString &text, qsizetype bytes)
{
    qsizetype used = 0, end = 0;
    while (end < text.size()) {
        const qsizetype len = text[end].isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        const qsizetype size = text.mid(end, len).toUtf8().size();
        if (used + size > bytes)
            break;
        used += size;
        end += len;
    }
    return text.left(end);
}

QStringList OutputFolder::names() const
{
    QStringList out;
#ifdef Q_OS_UNIX
    const int fd = m_fd < 0 ? -1 : ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return out;
    }
    while (const dirent *e = ::readdir(dir)) {
        const QString name = QFile::decodeName(e->d_name);
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            out << name;
    }
    ::closedir(dir);
#else
    out = QDir(m_path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
#endif
    return out;
}

OpenFilePtr OutputFolder::openEntry(const QString &name) const
{
#ifdef Q_OS_UNIX
    if (m_fd < 0 || !isPlainName(name))
        return nullptr;
    QString why;
    const int fd = RegularFile::openAt(m_fd, encoded(name), &why);
    return fd < 0 ? nullptr : OpenFile::adopt(fd, QDir(m_path).filePath(name));
#else
    return OpenFile::open(QDir(m_path).filePath(name), nullptr);
#endif
}

QByteArray OutputFolder::readSmall(const QString &name, qint64 maxBytes) const
{
    const OpenFilePtr file = openEntry(name);
    return file ? file->read(0, maxBytes) : QByteArray();
}

bool OutputFolder::isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

OutputFolder::OutputFolder(const QString &path) : m_path(QDir(path.isEmpty() ? QStringLiteral(".") : path).absolutePath())
{
#ifdef Q_OS_UNIX
    errno = 0;
    m_fd = ::open(encoded(m_path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        m_error = systemReason(errno);
#else
    if (QFileInfo(m_path).isDir())
        m_fd = 0;
    else
        m_error = systemReason(ENOENT);
#endif
}

OutputFolder::OutputFolder(int fd, const QString &path) : m_fd(fd), m_path(QDir(path).absolutePath()) {}

OutputFolderPtr OutputFolder::adopt(int fd, const QString &path)
{
    return OutputFolderPtr(new OutputFolder(fd, path));
}

OutputFolder::~OutputFolder()
{
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

OutputFolder::Entry OutputFolder::entry(const QString &name) const
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (m_fd < 0 || !isPlainName(name) || ::fstatat(m_fd, encoded(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Entry::None;
    return S_ISREG(st.st_mode) ? Entry::File : S_ISLNK(st.st_mode) ? Entry::Link : Entry::Other;
#else
    const QFileInfo info(QDir(m_path).filePath(name));
    return info.isSymLink() ? Entry::Link : info.isFile() ? Entry::File : info.exists() ? Entry::Other : Entry::None;
#endif
}

QString OutputFolder::replaceProblem(const QString &name) const
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (m_fd < 0 || ::fstatat(m_fd, encoded(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISREG(st.st_mode))
        return {};
    // A link that leads to a device or a folder is most likely the teacher's
    // own: it is refused by what it leads to, not replaced.
    if (S_ISLNK(st.st_mode) && (::fstatat(m_fd, encoded(name).constData(), &st, 0) != 0 || S_ISREG(st.st_mode)))
        return {};
    return RegularFile::notRegular(st.st_mode);
#else
    const QFileInfo info(QDir(m_path).filePath(name));
    return !info.exists() || info.isFile() ? QString() : QStringLiteral("not a regular file");
#endif
}

QString OutputFolder::outputProblem(const QString &name) const
{
    if (m_fd < 0)
        return m_error;
    // Renaming a new file over a device or a pipe would replace it with a
    // regular file.
    if (const QString problem = replaceProblem(name); !problem.isEmpty())
        return problem;
    if (!isPlainName(name))
        return systemReason(EISDIR);
    return {};
}

int OutputFolder::createNew(const QString &name, int mode, QString *reason) const
{
    if (m_fd < 0) {
        *reason = m_error;
        return -1;
    }
    if (!isPlainName(name)) {
        *reason = systemReason(EINVAL);
        return -1;
    }
#ifdef Q_OS_UNIX
    errno = 0;
    // O_EXCL with O_CREAT never follows a link: a dangling one makes it fail.
    const int fd = ::openat(m_fd, encoded(name).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, mode_t(mode));
    if (fd < 0)
        *reason = systemReason(errno);
    return fd;
#else
    Q_UNUSED(mode);
    const int fd = ::_wopen(reinterpret_cast<const wchar_t *>(QDir(m_path).filePath(name).utf16()),
                            _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        *reason = systemReason(errno);
    return fd;
#endif
}

int OutputFolder::createTemporary(const QString &name, int mode, QString *tempName, QString *reason) const
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Within a file name's 255 bytes, whatever the script of `name`.
        const QString candidate = QStringLiteral(".%1.%2").arg(
            cutToBytes(name, 220), QString::number(QRandomGenerator::global()->generate64(), 36));
        const int fd = createNew(candidate, mode, reason);
        if (fd >= 0) {
            *tempName = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool OutputFolder::rename(const QString &from, const QString &to, bool keepExisting, QString *reason) const
{
#ifdef Q_OS_UNIX
    const QByteArray f = encoded(from), t = encoded(to);
    errno = 0;
    if (!keepExisting) {
        if (::renameat(m_fd, f.constData(), m_fd, t.constData()) == 0)
            return true;
        *reason = systemReason(errno);
        return false;
    }
    if (::renameat2(m_fd, f.constData(), m_fd, t.constData(), RENAME_NOREPLACE) == 0)
        return true;
    // A file system without the flag: a second hard link is as exclusive.
    if (errno == EINVAL || errno == ENOSYS) {
        if (::linkat(m_fd, f.constData(), m_fd, t.constData(), 0) == 0) {
            ::unlinkat(m_fd, f.constData(), 0);
            return true;
        }
    }
    *reason = systemReason(errno);
    return false;
#else
    const QDir dir(m_path);
    if (!keepExisting)
        QFile::remove(dir.filePath(to));
    if (QFile::rename(dir.filePath(from), dir.filePath(to)))
        return true;
    *reason = systemReason(EEXIST);
    return false;
#endif
}

bool OutputFolder::remove(const QString &name) const
{
#ifdef Q_OS_UNIX
    return m_fd >= 0 && isPlainName(name) && ::unlinkat(m_fd, encoded(name).constData(), 0) == 0;
#else
    return QFile::remove(QDir(m_path).filePath(name));
#endif
}

int OutputFolder::openOwnFile(const QString &name, QString *reason) const
{
    if (m_fd < 0 || !isPlainName(name)) {
        *reason = m_fd < 0 ? m_error : systemReason(EINVAL);
        return -1;
    }
#ifdef Q_OS_UNIX
    errno = 0;
    // Non-blocking: a pipe planted under the name must not hold the open.
    const int fd = ::openat(m_fd, encoded(name).constData(),
                            O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
    if (fd < 0) {
        *reason = errno == ELOOP ? QStringLiteral("a symbolic link") : systemReason(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        *reason = S_ISREG(st.st_mode) ? QStringLiteral("owned by someone else") : QStringLiteral("not a regular file");
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, O_APPEND);
    ::fchmod(fd, 0600);
    return fd;
#else
    const int fd = ::_wopen(reinterpret_cast<const wchar_t *>(QDir(m_path).filePath(name).utf16()),
                            _O_RDWR | _O_APPEND | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        *reason = systemReason(errno);
    return fd;
#endif
}

bool OutputFolder::sync() const
{
#ifdef Q_OS_UNIX
    return m_fd >= 0 && ::fsync(m_fd) == 0;
#else
    return m_fd >= 0;
#endif
}

int OutputFolder::permissionsOf(const QString &name) const
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (m_fd < 0 || ::fstatat(m_fd, encoded(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return int(st.st_mode & 07777);
#else
    const QFileInfo info(QDir(m_path).filePath(name));
    return info.isFile() ? 0666 : -1;
#endif
}
