#pragma once
// The editor's menu bar: File (with Recent Files), Edit (the controller's
// Undo and Redo), Tools and Help. The actions keep the object names the tests
// find them by; the window connects them to its handlers and sets which are
// enabled through applyCommands().

#include "app/EditorController.h"
#include "document/RecentFiles.h"

#include <QObject>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;

class EditorMenus : public QObject {
    Q_OBJECT

public:
    // `testFolder` gives the folder the Tools menu's file manager opens.
    EditorMenus(QMainWindow *window, const std::function<QString()> &testFolder, QAction *undo, QAction *redo);

    // The menus' part of the command table: the test commands of the File menu.
    void applyCommands(const EditorController::Commands &c);
    // Recent Files shows the used entries of the list (hidden while none is);
    // `added`: the first entry was just put there, and shows whatever it is.
    void showRecentEntries(const RecentFiles &recent, bool added = false);

    QMenu *mnuFile = nullptr;
    QAction *mnuFileNew = nullptr;
    QAction *mnuFileOpen = nullptr;
    QAction *mnuFileSave = nullptr;
    QAction *mnuEditMoveUp = nullptr;
    QAction *mnuEditMoveDown = nullptr;
    QAction *mnuEditDuplicate = nullptr;
    QAction *mnuFileSaveas = nullptr;
    QAction *mnuFilePrint = nullptr;
    QAction *mnuFilePrintPdf = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuFileRecent = nullptr;
    QAction *mnuRecent[RecentFiles::Count + 1] = {};   // 1 to 4

    QMenu *mnuEdit = nullptr;
    QAction *mnuEditUndo = nullptr;
    QAction *mnuEditRedo = nullptr;
    QAction *mnuEditLanguage = nullptr;
    QAction *mnuEditShuffle = nullptr;

signals:
    // A Recent Files entry (1 to 4) was chosen.
    void recentChosen(int index);
};
