#include "platform/RegularFile.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif
#include <algorithm>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#endif
#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace RegularFile {
namespace {

#ifdef Q_OS_UNIX
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("a special file");
}


int openChecked(const QString &path, QString *reason, RegularFile::Links links = RegularFile::Links::Follow)
{
    return RegularFile::openAt(AT_FDCWD, QFile::encodeName(path), reason, links);
}
#endif

} // namespace

#ifdef Q_OS_UNIX
// O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever
// before the check could refuse it. It is cleared again for the read.
int openAt(int folder, const QByteArray &name, QString *reason, Links links)
{
    const int fd = ::openat(folder, name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC
                                                          | (links == Links::Refuse ? O_NOFOLLOW : 0));
    if (fd < 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        *reason = notRegular(st.st_mode);
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}
#endif


int openHandle(const QString &path, QString *reason)
{
    if (path.isEmpty()) {
        *reason = QStringLiteral("No such file or directory");
        return -1;
    }
#ifdef Q_OS_UNIX
    return openChecked(path, reason);
#else
    if (const QString p = problem(path); !p.isEmpty()) {
        *reason = p;
        return -1;
    }
    const int fd = ::_wopen(reinterpret_cast<const wchar_t *>(path.utf16()), _O_RDONLY | _O_BINARY);
    if (fd < 0)
        *reason = qt_error_string(errno);
    return fd;
#endif
}

bool open(QFile &file, const QString &path, QString *reason, Links links)
{
    QString dummy;
    QString &why = reason ? *reason : dummy;
    why.clear();
    if (path.isEmpty()) {
        why = QStringLiteral("No such file or directory");
        return false;
    }
#ifdef Q_OS_UNIX
    const int fd = openChecked(path, &why, links);
    if (fd < 0)
        return false;
    file.setFileName(path);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        why = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
#else
    Q_UNUSED(links)   // Windows: no symbolic links in the way a test folder holds them
    if (const QString p = problem(path); !p.isEmpty()) {
        why = p;
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return false;
    }
    return true;
#endif
}

namespace {
// The file's bytes (and one more, to see it grow) in one buffer. A large
// buffer asks for huge pages: filling 130 MB of fresh 4 KB pages costs more
// in page faults than the copy itself.
QByteArray readWhole(QFile &file)
{
    const qint64 size = file.size() + 1;
    QByteArray bytes(size, Qt::Uninitialized);
#ifdef Q_OS_LINUX
    constexpr qint64 Huge = 2 * 1024 * 1024;
    if (size >= 4 * Huge) {
        const auto start = (reinterpret_cast<quintptr>(bytes.data()) + Huge - 1) / Huge * Huge;
        const auto end = (reinterpret_cast<quintptr>(bytes.data()) + quintptr(size)) / Huge * Huge;
        if (end > start)
            ::madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
    }
#endif
    const qint64 got = file.read(bytes.data(), size);
    bytes.resize(std::max<qint64>(got, 0));
    return bytes;
}
}

QByteArray read(const QString &path, qint64 maxBytes, QString *reason, bool *tooLargeFile, Links links)
{
    QString dummy;
    QString &why = reason ? *reason : dummy;
    bool ignored = false;
    bool &overLimit = tooLargeFile ? *tooLargeFile : ignored;
    overLimit = false;
    QFile file;
    if (!open(file, path, &why, links))
        return {};
    if (file.size() > maxBytes) {
        why = tooLarge(maxBytes);
        overLimit = true;
        return {};
    }
    // Read through the limit, not to the end: a file that grows while it is
    // read is cut at the limit and refused. The buffer is the file's size
    // (a byte more to see it grow), never the limit's: a 1 GB limit must not
    // cost a gigabyte for a small file.
    const qint64 stated = file.size();
    QByteArray bytes = readWhole(file);
    // Only a file that filled the byte more than its size goes on: asking
    // an ended file for more would cost a megabyte's buffer each time.
    while (bytes.size() > stated && bytes.size() <= maxBytes && file.error() == QFileDevice::NoError) {
        const QByteArray more = file.read(std::min<qint64>(maxBytes + 1 - bytes.size(), 1 << 20));
        if (more.isEmpty())
            break;
        bytes += more;
    }
    if (file.error() != QFileDevice::NoError) {
        why = file.errorString();
        return {};
    }
    if (bytes.size() > maxBytes) {
        why = tooLarge(maxBytes);
        overLimit = true;
        return {};
    }
    return bytes;
}

QString problem(const QString &path)
{
#ifdef Q_OS_UNIX
    if (path.isEmpty())
        return QStringLiteral("No such file or directory");
    QString why;
    const int fd = openChecked(path, &why);
    if (fd >= 0)
        ::close(fd);
    return why;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("No such file or directory");
    if (!info.isFile())
        return QStringLiteral("not a regular file");
    return {};
#endif
}

QString notRegular(unsigned mode)
{
#ifdef Q_OS_UNIX
    return QStringLiteral("not a regular file (%1)").arg(kindOf(mode_t(mode)));
#else
    Q_UNUSED(mode);
    return QStringLiteral("not a regular file");
#endif
}

namespace {
// Qt's name of each permission bit, owner, group and others.
constexpr struct {
    unsigned bit;
    QFileDevice::Permission qt;
} kPermissionBits[] = {{0400, QFileDevice::ReadOwner}, {0200, QFileDevice::WriteOwner}, {0100, QFileDevice::ExeOwner},
                       {0040, QFileDevice::ReadGroup}, {0020, QFileDevice::WriteGroup}, {0010, QFileDevice::ExeGroup},
                       {0004, QFileDevice::ReadOther}, {0002, QFileDevice::WriteOther}, {0001, QFileDevice::ExeOther}};
}

QFileDevice::Permissions permissionsOfMode(unsigned mode)
{
    QFileDevice::Permissions p;
    for (const auto &b : kPermissionBits)
        if (mode & b.bit)
            p |= b.qt;
    // This program's user is the file's owner wherever it asks.
    if (mode & 0400)
        p |= QFileDevice::ReadUser;
    if (mode & 0200)
        p |= QFileDevice::WriteUser;
    return p;
}

unsigned modeOfPermissions(QFileDevice::Permissions permissions)
{
    unsigned mode = 0;
    for (const auto &b : kPermissionBits)
        if (permissions.testFlag(b.qt))
            mode |= b.bit;
    return mode;
}

QString handlePath(int fd, const QString &fallback)
{
#ifdef Q_OS_LINUX
    static const bool procFd = QFileInfo(QStringLiteral("/proc/self/fd")).isDir();
    if (procFd)
        return QStringLiteral("/proc/self/fd/%1").arg(fd);
#endif
    Q_UNUSED(fd);
    return fallback;
}

QString tooLarge(qint64 maxBytes)
{
    const qint64 mb = maxBytes / (1024 * 1024);
    return mb > 0 ? QStringLiteral("larger than %1 MB").arg(mb)
                  : QStringLiteral("larger than %1 bytes").arg(maxBytes);
}

}
