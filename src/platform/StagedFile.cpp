#include "platform/StagedFile.h"

#include "platform/CheckedFileStream.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
bool syncToDisk(int fd)
{
#ifdef Q_OS_WIN
    return _commit(fd) == 0;
#else
    return ::fsync(fd) == 0;
#endif
}

}

StagedFile::StagedFile(const QString &target)
    : m_target(QFileInfo(target).absoluteFilePath()), m_name(QFileInfo(target).fileName()),
      m_folder(QFileInfo(target).absolutePath())
{
}

StagedFile::~StagedFile()
{
    discard();
}

bool StagedFile::fail(const QString &reason)
{
    m_error = reason;
    discard();
    return false;
}

bool StagedFile::create()
{
    if (const QString problem = m_folder.outputProblem(m_name); !problem.isEmpty())
        return fail(problem);
    const int old = m_folder.permissionsOf(m_name);
#ifdef Q_OS_UNIX
    if (old >= 0 && (old & S_IWUSR) == 0)
        return fail(qt_error_string(EACCES));
#endif
    QString why;
    m_fd = m_folder.createTemporary(m_name, 0666, &m_temporary, &why);
    if (m_fd < 0)
        return fail(why);
#ifdef Q_OS_UNIX
    // A replaced file keeps its permissions, as a file written in place would.
    if (old >= 0 || m_ownerOnly)
        ::fchmod(m_fd, mode_t(old >= 0 ? old : 0666) & (m_ownerOnly ? 0600 : 07777));
#endif
    // The writer is given the open temporary file itself.
    m_path = RegularFile::handlePath(m_fd, QDir(m_folder.path()).filePath(m_temporary));
    return true;
}

QByteArray StagedFile::tail(qint64 bytes) const
{
    QByteArray out;
#ifdef Q_OS_UNIX
    // The temporary file is open for writing only: it is read through its
    // handle's name, which is that very file.
    const int fd = m_fd < 0 ? -1 : ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd >= 0 && ::fstat(fd, &st) == 0) {
        const qint64 from = qMax<qint64>(0, st.st_size - bytes);
        out.resize(st.st_size - from);
        const ssize_t n = ::pread(fd, out.data(), size_t(out.size()), off_t(from));
        out.resize(n > 0 ? qsizetype(n) : 0);
    }
    if (fd >= 0)
        ::close(fd);
#else
    Q_UNUSED(bytes);
#endif
    return out;
}

bool StagedFile::commit()
{
    if (m_fd < 0)
        return fail(QStringLiteral("the file was not created"));
    errno = 0;
    if (!syncToDisk(m_fd))
        return fail(qt_error_string(errno));
    QString why;
    if (!m_folder.rename(m_temporary, m_name, false, &why))
        return fail(why);
    m_temporary.clear();
    discard();
    return true;
}

void StagedFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        m_folder.remove(m_temporary);
        m_temporary.clear();
    }
    m_path.clear();
}

QString StagedFile::writeProblem() const
{
    if (m_fd < 0)
        return QString();
    QFile file;
    const int fd = ::dup(m_fd);
    if (fd < 0 || !file.open(fd, QIODevice::Append | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return qt_error_string(errno);
    errno = 0;
    if (!file.seek(file.size()) || file.write("\n", 1) != 1)
        return CheckedFileStream::reasonOf(file, errno);
    return QString();
}
