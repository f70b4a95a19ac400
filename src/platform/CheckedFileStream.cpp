#include "platform/CheckedFileStream.h"

#include "platform/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <io.h>
#endif

CheckedFileStream::CheckedFileStream(const QString &path, Mode mode)
    : CheckedFileStream(OutputFolder::open(QFileInfo(path).absolutePath()), QFileInfo(path).fileName(), mode)
{
    m_path = path;
}

CheckedFileStream::CheckedFileStream(OutputFolderPtr folder, const QString &name, Mode mode)
    : m_path(QDir(folder->path()).filePath(name)), m_name(name), m_mode(mode), m_folder(std::move(folder))
{
}

CheckedFileStream::~CheckedFileStream()
{
    discard();
}

QString CheckedFileStream::reasonOf(const QFileDevice &file, int savedErrno)
{
    // A device says "Unknown error" after some short writes; the system
    // still knows why.
    const QString text = file.errorString();
    if (!text.isEmpty() && text != QLatin1String("Unknown error"))
        return text;
    return savedErrno ? qt_error_string(savedErrno) : QStringLiteral("the file could not be written");
}

bool CheckedFileStream::fail(int savedErrno)
{
    if (!m_failed)
        m_error = reasonOf(m_file, savedErrno);
    m_failed = true;
    // On a full disk the space goes back at once, not when the writer ends.
    discard();
    return false;
}

bool CheckedFileStream::open()
{
    auto refuse = [this](const QString &reason) {
        m_error = reason;
        m_failed = true;
        return false;
    };
    if (const QString problem = m_folder->outputProblem(m_name); !problem.isEmpty())
        return refuse(problem);
    if (m_mode == Mode::NewOnly && m_folder->entry(m_name) != OutputFolder::Entry::None)
        return refuse(qt_error_string(EEXIST));
    QString why;
    const int fd = m_folder->createTemporary(m_name, 0666, &m_temporary, &why);
    if (fd < 0)
        return refuse(why);
    if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        m_folder->remove(m_temporary);
        m_temporary.clear();
        return refuse(m_file.errorString());
    }
    // A replaced file keeps its permissions, as a file written in place would.
    if (const int old = m_folder->permissionsOf(m_name); old >= 0 && m_mode == Mode::Replace)
        setMode(old);
    return true;
}

void CheckedFileStream::setMode(int mode)
{
#ifdef Q_OS_UNIX
    ::fchmod(m_file.handle(), mode_t(mode));
#else
    Q_UNUSED(mode);
#endif
}

void CheckedFileStream::limitPermissions(QFileDevice::Permissions allowed)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (m_file.isOpen() && ::fstat(m_file.handle(), &st) == 0)
        setMode(int(st.st_mode & 0777 & RegularFile::modeOfPermissions(allowed)));
#else
    Q_UNUSED(allowed);
#endif
}

bool CheckedFileStream::write(const char *data, qint64 size)
{
    if (m_failed || !m_file.isOpen())
        return false;
    errno = 0;
    if (m_file.write(data, size) != size)
        return fail(errno);
    m_extent = qMax(m_extent, m_file.pos());
    startWriteBack();
    return true;
}

// The final sync waits for every byte to reach the disk; handing each
// finished stretch of a large file to the disk while the rest is still being
// made leaves that wait short (a video of hundreds of megabytes otherwise
// spends most of its time there).
void CheckedFileStream::startWriteBack()
{
#ifdef Q_OS_LINUX
    constexpr qint64 Stretch = 8 * 1024 * 1024;
    if (m_extent - m_writtenBack < Stretch || !m_file.flush())
        return;
    const qint64 end = m_extent / Stretch * Stretch;
    ::sync_file_range(m_file.handle(), m_writtenBack, end - m_writtenBack, SYNC_FILE_RANGE_WRITE);
    m_writtenBack = end;
#endif
}

bool CheckedFileStream::seek(qint64 pos)
{
    if (m_failed || !m_file.isOpen())
        return false;
    errno = 0;
    if (!m_file.seek(pos))
        return fail(errno);
    return true;
}

bool CheckedFileStream::commit()
{
    if (m_failed || !m_file.isOpen()) {
        discard();
        return false;
    }
    // A short write that was only buffered shows here: the bytes are flushed
    // and counted before the target is replaced.
    errno = 0;
    if (!m_file.flush() || m_file.size() != m_extent)
        return fail(errno);
    errno = 0;
#ifdef Q_OS_UNIX
    if (::fsync(m_file.handle()) != 0)
        return fail(errno);
#else
    if (::_commit(m_file.handle()) != 0)
        return fail(errno);
#endif
    m_file.close();
    QString why;
    if (!m_folder->rename(m_temporary, m_name, m_mode == Mode::NewOnly, &why)) {
        m_folder->remove(m_temporary);
        m_temporary.clear();
        if (!m_failed)
            m_error = why;
        m_failed = true;
        return false;
    }
    m_temporary.clear();
    return true;
}

void CheckedFileStream::discard()
{
    if (m_file.isOpen())
        m_file.close();
    if (!m_temporary.isEmpty()) {
        m_folder->remove(m_temporary);
        m_temporary.clear();
    }
}
