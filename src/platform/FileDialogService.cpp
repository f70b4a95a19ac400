#include "platform/FileDialogService.h"

#include <QDir>
#include <QFileInfo>

QList<FileFilter> parseNulSeparatedFilter(const QString &filter)
{
    QStringList parts = filter.split(QChar(0));
    while (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QList<FileFilter> result;
    for (int i = 0; i < parts.size(); i += 2)
        result.append({parts[i], i + 1 < parts.size() ? parts[i + 1] : QStringLiteral("*")});
    return result;
}

FileDialogResult FileDialogService::choose(const FileDialogRequest &request)
{
    FileDialogResult result = exec(request);
    if (result.accepted && !result.files.isEmpty()) {
        const QFileInfo chosen(result.files.first());
        QDir::setCurrent(chosen.absolutePath());
    }
    return result;
}
