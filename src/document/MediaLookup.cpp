#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"

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

QString resolveDirect(const QString &reference)
{
    return !QuestionRecord::isNoMedia(reference) && fileExists(reference) ? reference : QString();
}

QString resolve(const QString &reference, const QString &testFolder)
{
    const QString direct = resolveDirect(reference);
    if (!direct.isEmpty())
        return direct;
    const QString inFolder = testFolder + reference;
    return !testFolder.isEmpty() && !QuestionRecord::isNoMedia(reference) && fileExists(inFolder)
               ? inFolder : QString();
}
}
