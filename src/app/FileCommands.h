#pragma once
// The editor's file commands: Open (from the menu, the recent files or the
// command line), Save As, Print and Print to PDF, and the recent-files list.
// They work through the EditorController, which announces the test they
// open or save; the messages they raise are theirs.

#include "app/EditorController.h"
#include "document/RecentFiles.h"

#include <QObject>
#include <QString>

class QWidget;

class FileCommands : public QObject {
    Q_OBJECT

public:
    // `window` owns the dialogs and message boxes the commands raise.
    FileCommands(EditorController &controller, QWidget *window);

    const RecentFiles &recentFiles() const { return m_recent; }
    void loadRecentFiles();
    void saveRecentFiles() const;
    void addToRecentFiles(const QString &path);

    // File > Open: the file dialog, then the test it names.
    void open();
    // Recent Files entry `index` (1 to 4).
    void openRecent(int index);
    // The start-up routine's "ard" branch: the caption, the current file and
    // the recent files stay. A missing file is ignored.
    void openFromCommandLine(const QString &path);
    // File > Save As (and Save Test).
    void saveAs();
    // Writes the test to its own file without a dialog (Save As when it has
    // none yet).
    void save();
    void print();
    void printToPdf();

signals:
    // The recent-files list changed; `added`: a path went to its top.
    void recentFilesChanged(bool added);

private:
    void openFrom(const QString &path, EditorController::OpenOrigin origin);
    void saveTo(const QString &path);

    EditorController &m_controller;
    QWidget *m_window;
    RecentFiles m_recent;
};
