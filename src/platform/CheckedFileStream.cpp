#include "platform/CheckedFileStream.h"

#include "platform/RegularFile.h"

#include <cerrno>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

CheckedFileStream::CheckedFileStream(const QString &path) : m_file(path) {}

CheckedFileStream::~CheckedFileStream()
{
    discard();
}

QString CheckedFileStream::reasonOf(const QFileDevice &file, int savedErrno)
{
    // QSaveFile says "Unknown error" after some short writes; the system
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
    // Renaming a new file over a device or a pipe would replace it with a
    // regular file.
    if (const QString problem = RegularFile::replaceProblem(m_file.fileName()); !problem.isEmpty()) {
        m_error = problem;
        m_failed = true;
        return false;
    }
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly))
        return fail(errno);
    return true;
}

void CheckedFileStream::limitPermissions(QFileDevice::Permissions allowed)
{
    if (m_file.isOpen())
        m_file.setPermissions(m_file.permissions() & allowed);
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
    if (!m_file.commit())   // syncs to disk, then renames
        return fail(errno);
    return true;
}

void CheckedFileStream::discard()
{
    if (!m_file.isOpen())
        return;
    m_file.cancelWriting();
    m_file.commit();   // removes the temporary file
}
