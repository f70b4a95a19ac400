#pragma once
// The special files every reader of outside files must refuse without
// opening: a pipe without a writer (opening it would wait forever) and a
// symbolic link to /dev/zero (a device that never ends).

#include <QDir>
#include <QFile>
#include <QStringList>

#include <sys/stat.h>

// Creates "pipe<suffix>" and "zero<suffix>" in `folder`; an empty list when
// the system refuses.
inline QStringList makeNonRegularFiles(const QString &folder, const QString &suffix)
{
    const QString fifo = QDir(folder).filePath(QStringLiteral("pipe") + suffix);
    const QString zero = QDir(folder).filePath(QStringLiteral("zero") + suffix);
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0
        || !QFile::link(QStringLiteral("/dev/zero"), zero))
        return {};
    return {fifo, zero};
}
