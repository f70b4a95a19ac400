#include "platform/SourceFolder.h"

#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

SourceFolder::SourceFolder(const QString &path) : m_path(QDir(path).absolutePath())
{
#ifdef Q_OS_UNIX
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

SourceFolder::~SourceFolder()
{
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

SourceFolder::Opening SourceFolder::open(const QString &relative) const
{
    Opening out;
    QString name = relative;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool drive = name.size() >= 2 && name[1] == QLatin1Char(':') && name[0].isLetter();
    const QStringList steps = QDir::cleanPath(name).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (drive || name.startsWith(QLatin1Char('/')) || steps.isEmpty() || steps.contains(QStringLiteral(".."))) {
        out.outcome = Outcome::Outside;
        return out;
    }
#ifdef Q_OS_UNIX
    if (m_fd < 0) {
        out.outcome = Outcome::Missing;
        return out;
    }
    int at = m_fd;
    int fd = -1;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const bool last = i + 1 == steps.size();
        const QByteArray step = QFile::encodeName(steps[i]);
        // The file itself as every regular file from outside is opened (a
        // pipe refused, never waited on); the folders on the way as folders.
        QString why;
        fd = last ? RegularFile::openAt(at, step, &why)
                  : ::openat(at, step.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_DIRECTORY);
        const int error = errno;
        // A link anywhere on the way is not inside; nothing there is missing.
        struct stat entry {};
        const bool found = fd < 0 && ::fstatat(at, step.constData(), &entry, AT_SYMLINK_NOFOLLOW) == 0;
        const bool link = found && S_ISLNK(entry.st_mode);
        if (at != m_fd)
            ::close(at);
        if (fd < 0) {
            out.outcome = link                                     ? Outcome::Outside
                          : !found || (!last && error == ENOTDIR) ? Outcome::Missing
                                                                   : Outcome::Unreadable;
            out.reason = why.isEmpty() ? qt_error_string(error) : why;
            return out;
        }
        at = fd;
    }
    out.outcome = Outcome::Opened;
    out.file = OpenFile::adopt(fd, QDir(m_path).filePath(steps.join(QLatin1Char('/'))));
    return out;
#else
    out.file = OpenFile::open(QDir(m_path).filePath(steps.join(QLatin1Char('/'))), &out.reason);
    out.outcome = out.file ? Outcome::Opened : Outcome::Missing;
    return out;
#endif
}
