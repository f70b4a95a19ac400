#include "app/toolshelp/ToolsHelpMenus.h"

#include "app/toolshelp/Accessories.h"
#include "app/toolshelp/HelpWindow.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "document/QuestionRecord.h"
#include "platform/ShellService.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "logview/frmClass.h"
#include "logview/frmLog.h"
#include "avimaker/frmAVI.h"

namespace {

// The viewers show themselves modeless, or bring their open window to the
// front with its contents unchanged.
void mnuToolScore_Click(QWidget *editor)
{
    frmLog::showLog(editor);
}

void mnuToolAVI_Click(QWidget *editor)
{
    frmAVI::showInstance(editor);
}

QAction *addEntry(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

// F1 anywhere in the program: the first delivery of the key (to the window
// or the focus widget) opens the help and ends the key's way.
void setProgramIcon()
{
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/ardeno-creator.svg")));
}

class HelpKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The program icon is set once the first window has painted: loading
        // the SVG engine and rendering the icon at the sizes the window
        // system wants held up the editor's first appearance by several ms.
        // Qt hands the icon to every window already open.
        if (!m_iconPending && event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
            m_iconPending = true;
            QTimer::singleShot(0, this, setProgramIcon);
        }
        if (event->type() == QEvent::KeyPress
            && (watched->isWidgetType() || watched->isWindowType())) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_F1
                && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                mnuHelpContents_Click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_iconPending = false;
};

} // namespace

QString aboutText()
{
    return QStringLiteral("Ardeno Test Creator v")
           + QuestionRecord::withSignPosition(ARDENO_VERSION_MAJOR) + QStringLiteral(".")
           + QuestionRecord::withSignPosition(ARDENO_VERSION_MINOR);
}

void mnuHelpContents_Click()
{
    HelpWindow::showContents();
}

void mnuHelpAbout_Click()
{
    MsgBox(aboutText(), MsgIcon::Information, MsgButtons::Ok, QStringLiteral("About Ardeno"));
}

void mnuHelpWeb_Click()
{
    Platform::shell().openUrl(QUrl(kArdenoWebsite));   // nothing is reported
}

void mnuHelpAuthor_Click()
{
    Platform::shell().openUrl(QUrl(kAuthorMailto));    // nothing is reported
}

void installToolsAndHelpMenus(QMenuBar *menuBar, QWidget *editor,
                              std::function<QString()> testFolder)
{
    QMenu *tools = menuBar->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("mnuToolS"));
    QAction *score = addEntry(tools, QStringLiteral("mnuToolScore"), QStringLiteral("&Read Score Logs"));
    QObject::connect(score, &QAction::triggered, editor, [editor] { mnuToolScore_Click(editor); });
    QAction *results = addEntry(tools, QStringLiteral("mnuToolClass"), QStringLiteral("&Class Results..."));
    QObject::connect(results, &QAction::triggered, editor, [editor] { frmClass::showResults({}, editor); });
    QAction *avi = addEntry(tools, QStringLiteral("mnuToolAVI"), QStringLiteral("&AVI Maker"));
    QObject::connect(avi, &QAction::triggered, editor, [editor] { mnuToolAVI_Click(editor); });
    tools->addSeparator()->setObjectName(QStringLiteral("mnuToolBar1"));
    for (const Accessory &row : accessories()) {
        QAction *a = addEntry(tools, row.entry, row.caption);
        const Accessory *r = &row;   // the table lives for the whole run
        QObject::connect(a, &QAction::triggered, editor, [r, testFolder] {
            startAccessory(*r, testFolder ? testFolder() : QString());
        });
    }

    QMenu *help = menuBar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QObject::connect(addEntry(help, QStringLiteral("mnuHelpContents"), QStringLiteral("Help &Contents")),
                     &QAction::triggered, editor, [] { mnuHelpContents_Click(); });
    QObject::connect(addEntry(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About")),
                     &QAction::triggered, editor, [] { mnuHelpAbout_Click(); });
    QObject::connect(addEntry(help, QStringLiteral("mnuHelpWeb"), QStringLiteral("&Ardeno Website")),
                     &QAction::triggered, editor, [] { mnuHelpWeb_Click(); });
    QObject::connect(addEntry(help, QStringLiteral("mnuHelpAuthor"), QStringLiteral("&Email Author")),
                     &QAction::triggered, editor, [] { mnuHelpAuthor_Click(); });
}

void installHelpKey(QApplication &app)
{
    const QString name = QStringLiteral("ardenoHelpKey");
    if (app.findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;   // installed already
    auto *filter = new HelpKeyFilter(&app);
    filter->setObjectName(name);
    app.installEventFilter(filter);
    // Lets the desktop match our windows to the installed menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("ardeno-creator"));
}
