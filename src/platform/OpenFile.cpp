#include "platform/OpenFile.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QIODevice>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#else
#include <io.h>
#include <sys/stat.h>
#endif

namespace {
// Reads the shared handle at a position of its own (pread), so that two
// readers of one file never move each other.
class HandleReader : public QIODevice {
public:
    explicit HandleReader(const OpenFile &file) : m_file(file) { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_file.size(); }
    bool seek(qint64 pos) override
    {
        QIODevice::seek(pos);
        m_at = pos;
        return pos >= 0;
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
#ifdef Q_OS_UNIX
        for (;;) {
            const ssize_t n = ::pread(m_file.handle(), data, size_t(maxSize), off_t(m_at));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                setErrorString(qt_error_string(errno));
                return -1;
            }
            m_at += n;
            return n;
        }
#else
        const QByteArray bytes = m_file.read(m_at, maxSize);
        memcpy(data, bytes.constData(), size_t(bytes.size()));
        m_at += bytes.size();
        return bytes.size();
#endif
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const OpenFile &m_file;
    qint64 m_at = 0;
};
}

std::shared_ptr<const OpenFile> OpenFile::open(const QString &path, QString *reason)
{
    QString why;
    const int fd = RegularFile::openHandle(path, &why);
    if (fd < 0) {
        if (reason)
            *reason = why;
        return nullptr;
    }
    return std::shared_ptr<const OpenFile>(new OpenFile(fd, path));
}

std::shared_ptr<const OpenFile> OpenFile::adopt(int fd, const QString &name)
{
    return std::shared_ptr<const OpenFile>(new OpenFile(fd, name));
}

OpenFile::~OpenFile()
{
    ::close(m_fd);
}

bool OpenFile::isSameFile(const OpenFile &other) const
{
    struct stat mine {}, theirs {};
    return ::fstat(m_fd, &mine) == 0 && ::fstat(other.m_fd, &theirs) == 0 && mine.st_dev == theirs.st_dev
           && mine.st_ino == theirs.st_ino;
}

qint64 OpenFile::size() const
{
    struct stat st {};
    return ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : 0;
}

QFileDevice::Permissions OpenFile::permissions() const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return {};
#ifdef Q_OS_UNIX
    return RegularFile::permissionsOfMode(unsigned(st.st_mode & 0777));
#else
    return RegularFile::permissionsOfMode(0644);
#endif
}

bool OpenFile::isPrivate() const
{
    const QFileDevice::Permissions p = permissions();
    return !p.testFlag(QFileDevice::ReadGroup) && !p.testFlag(QFileDevice::ReadOther);
}

QByteArray OpenFile::read(qint64 offset, qint64 length) const
{
    QByteArray bytes(qMax<qint64>(length, 0), Qt::Uninitialized);
    qint64 got = 0;
#ifdef Q_OS_UNIX
    while (got < length) {
        const ssize_t n = ::pread(m_fd, bytes.data() + got, size_t(length - got), off_t(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {};
        if (n == 0)
            break;
        got += n;
    }
#else
    if (::_lseeki64(m_fd, offset, SEEK_SET) < 0)
        return {};
    const int n = ::_read(m_fd, bytes.data(), unsigned(length));
    got = n < 0 ? 0 : n;
#endif
    bytes.resize(got);
    return bytes;
}

QByteArray OpenFile::readAll(qint64 limit, QString *reason) const
{
    const qint64 n = size();
    if (n > limit) {
        *reason = RegularFile::tooLarge(limit);
        return {};
    }
    QByteArray bytes = read(0, n);
    if (bytes.size() != n) {
        *reason = QStringLiteral("the file changed while it was read");
        return {};
    }
    return bytes;
}

std::unique_ptr<QIODevice> OpenFile::reader() const
{
    return std::make_unique<HandleReader>(*this);
}

QString OpenFile::handlePath() const
{
    return RegularFile::handlePath(m_fd, m_name);
}
