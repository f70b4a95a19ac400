#include "classresults/ClassLoader.h"

#include "platform/NaturalOrder.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace ClassLoader {
bool isResultsPath(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() || (info.isFile() && info.fileName().endsWith(QLatin1String(".log"), Qt::CaseInsensitive));
}

QStringList expand(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            files << path;
            continue;
        }
        // Every letter case of ".log".
        QStringList names;
        for (const QString &name : QDir(path).entryList(QDir::Files | QDir::System | QDir::Hidden))
            if (name.endsWith(QLatin1String(".log"), Qt::CaseInsensitive))
                names << name;
        // "Anna 2" before "Anna 10", as a file manager lists them.
        std::sort(names.begin(), names.end(), naturalLess);
        for (const QString &name : names)
            files << QDir(path).filePath(name);
    }
    return files;
}

QList<ReadFile> readAll(const QStringList &files, WorkProgress *progress)
{
    QList<ReadFile> out;
    out.reserve(files.size());
    if (progress)
        progress->setTotal(files.size());
    for (const QString &file : files) {
        if (WorkProgress::stopped(progress))
            return {};
        out << ReadFile{file, ResultLog::read(file)};
        if (progress)
            progress->advance();
    }
    return out;
}
}
