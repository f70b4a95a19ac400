#include "dialogs/QtFileDialogService.h"

#include <QApplication>
#include <QFileDialog>

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
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialDir);
    const bool open = request.mode == FileDialogRequest::Mode::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (open)
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

    FileDialogResult result;
    if (dialog.exec() != QDialog::Accepted)
        return result;
    result.accepted = true;
    result.files = dialog.selectedFiles();
    result.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    result.readOnly = request.readOnly;
    return result;
}
