#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"

#include <QDir>
#include <QFileInfo>

namespace MediaLookup {
bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

static qsizetype lastSeparator(const QString &path)
{
    return qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

QString folderOf(const QString &path)
{
    const qsizetype i = lastSeparator(path);
    return i < 0 ? QString() : path.left(i + 1);
}

QString nameOf(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString testFolderOf(const QString &testPath)
{
    return folderOf(QFileInfo(testPath).absoluteFilePath());
}

QString resolve(const QString &reference, const QString &testFolder)
{
    const QString path = pathOf(reference, testFolder);
    return !path.isEmpty() && fileExists(path) ? path : QString();
}

QString pathOf(const QString &reference, const QString &testFolder)
{
    if (reference.isEmpty() || QuestionRecord::isNoMedia(reference))
        return {};
    return QDir::isAbsolutePath(reference) || testFolder.isEmpty() ? reference : testFolder + reference;
}
}
