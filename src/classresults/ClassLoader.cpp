#include "classresults/ClassLoader.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {
// "Anna 2" before "Anna 10", as a file manager lists them: runs of digits
// compare by their value, the rest without regard to letter case.
bool naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // Without leading zeros, a longer run is the larger number.
            QString sa = a.mid(i, ei - i), sb = b.mid(j, ej - j);
            while (sa.size() > 1 && sa.front() == QLatin1Char('0'))
                sa.remove(0, 1);
            while (sb.size() > 1 && sb.front() == QLatin1Char('0'))
                sb.remove(0, 1);
            if (sa.size() != sb.size())
                return sa.size() < sb.size();
            if (sa != sb)
                return sa < sb;
            i = ei;
            j = ej;
            continue;
        }
        const int c = QString::compare(a.mid(i, 1), b.mid(j, 1), Qt::CaseInsensitive);
        if (c != 0)
            return c < 0;
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}
}

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
        QStringList names = QDir(path).entryList({QStringLiteral("*.log"), QStringLiteral("*.LOG"), QStringLiteral("*.Log")},
                                                 QDir::Files | QDir::System | QDir::Hidden);
        names.removeDuplicates();
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
