#include "app/EditorMenus.h"

#include "app/toolshelp/ToolsHelpMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

EditorMenus::EditorMenus(QMainWindow *window, const std::function<QString()> &testFolder, QAction *undo,
                         QAction *redo)
    : QObject(window)
{
    QMenuBar *bar = window->menuBar();
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    auto item = [this](const QString &name, const QString &text, const QKeySequence &key) {
        QAction *a = mnuFile->addAction(text);
        a->setObjectName(name);
        if (!key.isEmpty())
            a->setShortcut(key);
        return a;
    };
    mnuFileNew = item(QStringLiteral("mnuFileNew"), QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuFileOpen = item(QStringLiteral("mnuFileOpen"), QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    // Save writes the test to its own file; Save As (and the Save Test
    // button) asks where.
    mnuFileSave = item(QStringLiteral("mnuFileSave"), tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileSaveas = item(QStringLiteral("mnuFileSaveas"), QStringLiteral("Save &As"), QKeySequence());
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuBar1"));
    mnuFilePrint = item(QStringLiteral("mnuFilePrint"), QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFilePrintPdf = item(QStringLiteral("mnuFilePrintPdf"), QStringLiteral("Print to P&DF..."), QKeySequence());
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuBar2"));
    mnuFileExit = item(QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuBar3"));
    mnuFileRecent = mnuFile->addMenu(QStringLiteral("&Recent Files"));
    mnuFileRecent->setObjectName(QStringLiteral("mnuFileRecent"));
    for (int i = 1; i <= RecentFiles::Count; ++i) {
        mnuRecent[i] = mnuFileRecent->addAction(QString());
        mnuRecent[i]->setObjectName(QStringLiteral("mnuRecent_%1").arg(i));
        mnuRecent[i]->setEnabled(false);
        mnuRecent[i]->setVisible(i == 1);
        connect(mnuRecent[i], &QAction::triggered, this, [this, i] { emit recentChosen(i); });
    }
    mnuFileRecent->menuAction()->setVisible(false);
    mnuFileSave->setEnabled(false);
    mnuFileSaveas->setEnabled(false);
    mnuFilePrint->setEnabled(false);
    mnuFilePrintPdf->setEnabled(false);

    // Edit menu, between File and Tools. In the title and class/teacher boxes
    // the keys undo the typing there (the boxes take them first).
    mnuEdit = bar->addMenu(tr("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEditUndo = undo;
    mnuEdit->addAction(mnuEditUndo);
    mnuEditUndo->setObjectName(QStringLiteral("mnuEditUndo"));
    mnuEditUndo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    mnuEditRedo = redo;
    mnuEdit->addAction(mnuEditRedo);
    mnuEditRedo->setObjectName(QStringLiteral("mnuEditRedo"));
    mnuEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    mnuEdit->addSeparator();
    // On the question being edited (in edit mode).
    mnuEditMoveUp = mnuEdit->addAction(tr("Move U&p"));
    mnuEditMoveUp->setObjectName(QStringLiteral("mnuEditMoveUp"));
    mnuEditMoveDown = mnuEdit->addAction(tr("Move Do&wn"));
    mnuEditMoveDown->setObjectName(QStringLiteral("mnuEditMoveDown"));
    mnuEditDuplicate = mnuEdit->addAction(tr("Dupli&cate"));
    mnuEditDuplicate->setObjectName(QStringLiteral("mnuEditDuplicate"));
    for (QAction *a : {mnuEditMoveUp, mnuEditMoveDown, mnuEditDuplicate})
        a->setEnabled(false);
    mnuEdit->addSeparator();
    mnuEditLanguage = mnuEdit->addAction(tr("Test &Language..."));
    mnuEditLanguage->setObjectName(QStringLiteral("mnuEditLanguage"));
    // Each student's own order of the questions and answers, wherever the
    // test is taken on a screen (paper has its versions).
    mnuEditShuffle = mnuEdit->addAction(tr("&Shuffle for Each Student"));
    mnuEditShuffle->setObjectName(QStringLiteral("mnuEditShuffle"));
    mnuEditShuffle->setCheckable(true);

    installToolsAndHelpMenus(bar, window, testFolder);
}

void EditorMenus::applyCommands(const EditorController::Commands &c)
{
    for (QAction *a : {mnuFileSave, mnuFileSaveas, mnuFilePrint, mnuFilePrintPdf})
        a->setEnabled(c.testCommands);
    for (QAction *a : {mnuEditMoveUp, mnuEditMoveDown, mnuEditDuplicate})
        a->setEnabled(c.remove);
}

void EditorMenus::showRecentEntries(const RecentFiles &recent, bool added)
{
    for (int i = 1; i <= RecentFiles::Count; ++i) {
        QString caption = recent.entry(i);
        mnuRecent[i]->setText(caption.replace(QLatin1Char('&'), QStringLiteral("&&")));
        if (recent.isUsed(i)) {
            mnuRecent[i]->setEnabled(true);
            mnuRecent[i]->setVisible(true);
        }
    }
    if (recent.isUsed(1) || added)
        mnuFileRecent->menuAction()->setVisible(true);
    if (added) {
        mnuRecent[1]->setEnabled(true);
        mnuRecent[1]->setVisible(true);
    }
}
