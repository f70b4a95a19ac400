#include "app/EditorLogic.h"

#include "classresults/ClassLoader.h"

#include "document/QuestionRecord.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace EditorLogic {

QString commandLineText(const QStringList &arguments)
{
    QString text = arguments.join(QLatin1Char(' '));
    const qsizetype crlf = text.indexOf(QStringLiteral("\r\n"));
    if (crlf >= 0)
        text.truncate(crlf);
    return text;
}

QStringList classResultsPaths(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return {};
    for (const QString &a : arguments)
        if (!ClassLoader::isResultsPath(a))
            return {};
    if (arguments.size() == 1 && !QFileInfo(arguments.first()).isDir())
        return {};
    return arguments;
}

QString windowCaption(const QString &fileName, bool unsaved)
{
    return QStringLiteral("Ardeno Test Creator - ") + fileName + (unsaved ? QStringLiteral(" *") : QString());
}

QString windowCaptionForPath(const QString &path)
{
    return windowCaption(QFileInfo(path).fileName());
}

QString questionLabel(int number)
{
    return QStringLiteral("Question #") + QuestionRecord::withSignPosition(number);
}

QString existingPathIgnoringCase(const QString &path)
{
    if (path.isEmpty())
        return QString();
    if (QFileInfo(path).isFile())
        return path;
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const QStringList parts = clean.split(QLatin1Char('/'));
    QString current = clean.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QDir::currentPath() + QLatin1Char('/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        if (part.isEmpty())
            continue;
        const QDir dir(current);
        QString found;
        if (QFileInfo::exists(dir.filePath(part))) {
            found = part;
        } else {
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString &e : entries)
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    found = e;
                    break;
                }
        }
        if (found.isEmpty())
            return QString();
        current = dir.filePath(found);
        if (i + 1 < parts.size() && !current.endsWith(QLatin1Char('/')))
            current += QLatin1Char('/');
    }
    return QFileInfo(current).isFile() ? current : QString();
}
}
