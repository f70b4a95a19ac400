#include "dialogs/FileDialogs.h"

#include <QWidget>

#include "platform/Platform.h"

QList<FileFilter> ardenoTestFilter()
{
    return {{QStringLiteral("Ardeno Tests (*.ard)"), QStringLiteral("*.ard")}};
}

QString ShowOpenDialog(QWidget *owner, const QList<FileFilter> &filter, const QString &initDir)
{
    FileDialogRequest request;
    request.owner = owner;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = QStringLiteral("Open File...");
    request.filters = filter;
    request.filterIndex = 1;
    request.initialDir = initDir;
    request.defaultExt = QStringLiteral("ard");
    request.fileMustExist = true;
    const FileDialogResult result = Platform::fileDialogs().choose(request);
    if (!result.accepted || result.files.isEmpty())
        return QString();
    return result.files.first();
}

QString ShowSaveDialog(QWidget *owner, const QList<FileFilter> &filter, const QString &initDir,
                       const QString &defaultExt, const QString &proposedName, const QString &title)
{
    FileDialogRequest request;
    request.owner = owner;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = title.isEmpty() ? QStringLiteral("Save File...") : title;
    request.filters = filter;
    request.filterIndex = 1;
    request.initialDir = initDir;
    request.fileName = proposedName.isEmpty() ? QStringLiteral("untitled.") + defaultExt : proposedName;
    request.defaultExt = defaultExt;
    request.overwritePrompt = true;
    const FileDialogResult result = Platform::fileDialogs().choose(request);
    if (!result.accepted || result.files.isEmpty())
        return QString();
    return result.files.first();
}

QString ShowOpenDialog(QWidget *owner, const QString &nulSeparatedFilter, const QString &initDir)
{
    return ShowOpenDialog(owner, parseNulSeparatedFilter(nulSeparatedFilter), initDir);
}

QString ShowSaveDialog(QWidget *owner, const QString &nulSeparatedFilter, const QString &initDir,
                       const QString &defaultExt)
{
    return ShowSaveDialog(owner, parseNulSeparatedFilter(nulSeparatedFilter), initDir, defaultExt);
}
