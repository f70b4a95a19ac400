#pragma once
// The editor's two file dialogs, also used by the media choosers and the
// score log viewer. They go through the installed FileDialogService, which
// leaves the chosen file's folder as the working directory.

#include "platform/FileDialogService.h"

#include <QList>
#include <QString>

class QWidget;

// The test filter of the File menu: "Ardeno Tests (*.ard)" with "*.ard".
QList<FileFilter> ardenoTestFilter();

// "Open File...": the first filter selected, default extension "ard", the file
// must exist. Returns the chosen full path, or "" when cancelled.
QString ShowOpenDialog(QWidget *owner, const QList<FileFilter> &filter, const QString &initDir);

// "Save File..." (or `title`): proposes "untitled." + defaultExt (or
// proposedName when given), appends defaultExt to a name typed without one
// and asks before replacing a file. Returns the chosen path, or "" when
// cancelled.
QString ShowSaveDialog(QWidget *owner, const QList<FileFilter> &filter, const QString &initDir,
                       const QString &defaultExt, const QString &proposedName = QString(),
                       const QString &title = QString());

// The same with a Windows-style filter text: description NUL pattern NUL ...
QString ShowOpenDialog(QWidget *owner, const QString &nulSeparatedFilter, const QString &initDir);
QString ShowSaveDialog(QWidget *owner, const QString &nulSeparatedFilter, const QString &initDir,
                       const QString &defaultExt);
