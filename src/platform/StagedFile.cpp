#include "platform/StagedFile.h"

#include "platform/CheckedFileStream.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {
std::filesystem::path nativePath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

bool syncToDisk(QFile &file)
{
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}
}

StagedFile::StagedFile(const QString &target)
{
    // A link is kept and the file it leads to replaced, even where that
    // does not exist yet.
    QFileInfo info(target);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    m_target = info.absoluteFilePath();
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
    const QFileInfo target(m_target);
    if (target.isDir())
        return fail(qt_error_string(EISDIR));
    if (const QString problem = RegularFile::replaceProblem(m_target); !problem.isEmpty())
        return fail(problem);
    if (target.exists() && !target.isWritable())
        return fail(qt_error_string(EACCES));
    // A hidden name of our own beside the target; created new (never an
    // existing file or link), with the permissions a new file gets.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = target.dir().filePath(
            QStringLiteral(".%1.%2").arg(target.fileName(),
                                        QString::number(QRandomGenerator::global()->generate(), 36)));
        QFile file(candidate);
        errno = 0;
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_path = candidate;
            return true;
        }
        if (!QFileInfo::exists(candidate))
            return fail(CheckedFileStream::reasonOf(file, errno));
    }
    return fail(qt_error_string(EEXIST));
}

bool StagedFile::commit()
{
    if (m_path.isEmpty())
        return fail(QStringLiteral("the file was not created"));
    QFile file(m_path);
    errno = 0;
    if (!file.open(QIODevice::ReadWrite))
        return fail(CheckedFileStream::reasonOf(file, errno));
    errno = 0;
    if (!syncToDisk(file))
        return fail(qt_error_string(errno));
    file.close();
    // A replaced file keeps its permissions, as a file written in place would.
    const QFileInfo old(m_target);
    if (old.exists())
        QFile::setPermissions(m_path, old.permissions());
    std::error_code error;
    std::filesystem::rename(nativePath(m_path), nativePath(m_target), error);
    if (error)
        return fail(QString::fromStdString(error.message()));
    m_path.clear();
    return true;
}

void StagedFile::discard()
{
    if (m_path.isEmpty())
        return;
    QFile::remove(m_path);
    m_path.clear();
}

QString StagedFile::writeProblem() const
{
    if (m_path.isEmpty())
        return QString();
    QFile file(m_path);
    errno = 0;
    if (!file.open(QIODevice::Append | QIODevice::Unbuffered))
        return CheckedFileStream::reasonOf(file, errno);
    errno = 0;
    if (file.write("\n", 1) != 1)
        return CheckedFileStream::reasonOf(file, errno);
    return QString();
}
