#include "dialogs/QtFileDialogService.h"

#include "dialogs/OwnerWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>

namespace {
// Qt reads the patterns from the last parentheses of a filter text, so each
// pattern is added there and the details are hidden: the user sees the
// description exactly as the program wrote it.
QString qtFilter(const FileFilter &f)
{
    QString patterns = f.pattern;
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return f.description + QStringLiteral(" (") + patterns + QLatin1Char(')');
}
}

FileDialogResult QtFileDialogService::exec(const FileDialogRequest &request)
{
    // Qt's own dialog keeps the folders it visited in a QtProject.conf of the
    // user's; the program keeps no settings but its recent files, so those go
    // to a scratch folder that goes with the program.
    static QTemporaryDir scratch;
    static const bool redirected =
        (QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path()), true);
    Q_UNUSED(redirected);

    auto *owner = qobject_cast<QWidget *>(request.owner);
    QFileDialog dialog(owner ? owner->window() : ownerWindow(), request.title, request.initialDir);
    const bool open = request.mode != FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (request.mode == FileDialogRequest::Mode::Folder)
        dialog.setFileMode(QFileDialog::Directory);
    else if (open)
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                           : request.fileMustExist ? QFileDialog::ExistingFile
                                                   : QFileDialog::AnyFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.hideReadOnly && open)
        dialog.setOption(QFileDialog::ReadOnly, request.readOnly);

    QStringList filters;
    for (const FileFilter &f : request.filters)
        filters << qtFilter(f);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = qBound(1, request.filterIndex, int(filters.size()));
        dialog.selectNameFilter(filters.at(index - 1));
    }
    if (!request.defaultExt.isEmpty())
        dialog.setDefaultSuffix(request.defaultExt);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);

    // Wide enough for the details view to show Name, Size, Type and Date
    // Modified whole, in whatever font the desktop uses.
    const int em = dialog.fontMetrics().averageCharWidth();
    dialog.resize(std::max(dialog.sizeHint().width(), 110 * em),
                  std::max(dialog.sizeHint().height(), 34 * dialog.fontMetrics().height()));
    // The name takes the room the others leave.
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }

    FileDialogResult result;
    if (dialog.exec() != QDialog::Accepted)
        return result;
    result.accepted = true;
    result.files = dialog.selectedFiles();
    result.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    result.readOnly = request.readOnly;
    return result;
}
