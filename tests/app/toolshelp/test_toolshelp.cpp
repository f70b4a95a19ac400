// The Tools and Help menus on a bare main window: entries, accessories with a
// scripted search path, About, and the help window.

#include "app/toolshelp/Accessories.h"
#include "app/toolshelp/HelpWindow.h"
#include "ControlLookup.h"
#include "TestDoubles.h"
#include "app/toolshelp/ToolsHelpMenus.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>


namespace {
struct Editor {
    QMainWindow window;
    QString folder;
    Editor()
    {
        window.menuBar()->addMenu(QStringLiteral("&File"))->setObjectName(QStringLiteral("mnuFile"));
        installToolsAndHelpMenus(window.menuBar(), &window, [this] { return folder; });
    }
    QAction *action(const char *name) { return window.findChild<QAction *>(QLatin1String(name)); }
};

// The shown top-level windows of a class, by its name.
QList<QWidget *> visibleWindows(const char *className)
{
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits(className) && w->isVisible())
            found << w;
    return found;
}

QString readResource(const QUrl &url)
{
    QFile f(QLatin1Char(':') + url.path());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
}

class TestToolsHelp : public QObject {
    Q_OBJECT
private slots:
    void init() { installHelpKey(*qApp); }
    void cleanup()
    {
        if (HelpWindow *h = HelpWindow::instance())
            delete h;
    }

    void menusInOrderAfterFile()
    {
        Editor e;
        const QList<QAction *> bar = e.window.menuBar()->actions();
        QCOMPARE(bar.size(), 3);
        QCOMPARE(QStringList({bar[1]->menu()->objectName(), bar[1]->text(), bar[2]->menu()->objectName(), bar[2]->text()}),
                 QStringList({"mnuToolS", "&Tools", "mnuHelp", "&Help"}));

        QStringList tools, help;
        for (QAction *a : bar[1]->menu()->actions())
            tools << a->objectName() + '=' + (a->isSeparator() ? QStringLiteral("-") : a->text());
        for (QAction *a : bar[2]->menu()->actions())
            help << a->objectName() + '=' + a->text();
        QCOMPARE(tools, QStringList({"mnuToolScore=&Read Score Logs", "mnuToolClass=&Class Results...", "mnuToolAVI=&AVI Maker",
                                     "mnuToolBar1=-", "mnuToolNotepad=&Notepad",
                                     "mnuToolSoundRecorder=&Sound Recorder", "mnuToolPaint=&MS Paint",
                                     "mnuToolExplorer=&Windows Explorer"}));
        QCOMPARE(help, QStringList({"mnuHelpContents=Help &Contents", "mnuHelpAbout=&About",
                                    "mnuHelpWeb=&Ardeno Website", "mnuHelpAuthor=&Email Author"}));
        for (QAction *a : bar[1]->menu()->actions() + bar[2]->menu()->actions())
            QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->objectName()));
    }

    void accessoryStartsFirstProgramFound_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::newRow("notepad") << "mnuToolNotepad" << "Notepad not found.";
        QTest::newRow("recorder") << "mnuToolSoundRecorder" << "Sound Recorder not found.";
        QTest::newRow("paint") << "mnuToolPaint" << "MS Paint not found.";
        QTest::newRow("explorer") << "mnuToolExplorer" << "Explorer not found.";
    }
    void accessoryStartsFirstProgramFound()
    {
        QFETCH(QString, entry);
        QFETCH(QString, message);
        const Accessory *row = nullptr;
        for (const Accessory &a : accessories())
            if (a.entry == entry)
                row = &a;
        QVERIFY(row);
        QCOMPARE(row->message, message);
        QVERIFY(row->programs.size() >= 2);

        ScopedPlatform platform;
        Editor e;
        e.folder = QStringLiteral("/srv/tests/week1");
        // The last two candidates are installed: the earlier one of them wins.
        const QString second = row->programs[row->programs.size() - 2];
        platform.shell.executables.insert(second, "/opt/bin/" + second);
        platform.shell.executables.insert(row->programs.last(), "/usr/bin/" + row->programs.last());
        e.action(entry.toLatin1())->trigger();
        QVERIFY(platform.messages.shown.isEmpty());
        QCOMPARE(platform.shell.started.size(), 1);
        QStringList expected{"/opt/bin/" + second};
        if (row->opensFolder)
            expected << e.folder;
        QCOMPARE(platform.shell.started[0], expected);

        // Nothing of the row on the search path: the row's message, nothing started.
        platform.shell.executables.clear();
        platform.shell.started.clear();
        e.action(entry.toLatin1())->trigger();
        QVERIFY(platform.shell.started.isEmpty());
        QCOMPARE(platform.messages.shown.size(), 1);
        const MessageRequest &m = platform.messages.shown[0];
        QCOMPARE(QStringList({m.text, m.title}), QStringList({message, "Ardenox"}));
        QVERIFY(m.icon == MsgIcon::Critical && m.buttons == MsgButtons::Ok);
    }

    void aboutShowsVersionWithSignBlanks()
    {
        ScopedPlatform platform;
        Editor e;
        e.action("mnuHelpAbout")->trigger();
        QCOMPARE(platform.messages.shown.size(), 1);
        const MessageRequest &m = platform.messages.shown[0];
        QCOMPARE(QStringList({m.text, m.title}), QStringList({"Ardeno Test Creator v 1. 0", "About Ardeno"}));
        QVERIFY(m.icon == MsgIcon::Information && m.buttons == MsgButtons::Ok);
    }

    void f1OpensHelpAtContents()
    {
        ScopedPlatform platform;
        Editor e;
        auto *edit = new QLineEdit;
        e.window.setCentralWidget(edit);
        e.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e.window));
        QVERIFY(!HelpWindow::instance());
        QTest::keyClick(edit, Qt::Key_F1);
        HelpWindow *help = HelpWindow::instance();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->windowTitle(), QStringLiteral("Ardenox"));
        QCOMPARE(help->currentPage(), helpContentsUrl());
        QVERIFY(edit->text().isEmpty());

        // Away from the contents; F1 in the help window itself comes back
        // there, in the same window.
        const QList<HelpTopic> topics = helpTopics();
        help->showPage(topics.value(2).url);
        QCOMPARE(help->currentPage(), topics.value(2).url);
        QTest::keyClick(help->findChild<QTextBrowser *>(), Qt::Key_F1);
        QCOMPARE(HelpWindow::instance(), help);
        QCOMPARE(help->currentPage(), helpContentsUrl());
        QCOMPARE(visibleWindows("HelpWindow").size(), 1);
    }

    void helpPagesAreCompleteAndLinked()
    {
        const QList<HelpTopic> topics = helpTopics();
        QStringList titles;
        for (const HelpTopic &t : topics)
            titles << t.title;
        for (const char *needed : {"Building a test", "Adding pictures", "Editing and removing",
                                   "Previewing", "Printing", "score logs", "AVI", "settings"})
            QVERIFY2(titles.join('|').contains(QLatin1String(needed), Qt::CaseInsensitive), needed);

        // Every page is reachable from the contents, and every link between
        // pages (and to the style sheet) leads to a page that exists.
        QStringList pages;
        QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.html")});
        while (it.hasNext())
            pages << QFileInfo(it.next()).fileName();
        QVERIFY(pages.size() >= 9);
        for (const QString &page : pages) {
            if (page != QLatin1String("index.html"))
                QVERIFY2(std::any_of(topics.begin(), topics.end(),
                                     [&](const HelpTopic &t) { return t.url.fileName() == page; }),
                         qPrintable(page + " is not in the contents"));
            const QString html = readResource(QUrl("qrc:/help/" + page));
            QVERIFY2(html.contains(QStringLiteral("<title>")), qPrintable(page));
            static const QRegularExpression href(QStringLiteral("href=\"([^\"#:]+)[\"#]"));
            auto links = href.globalMatch(html);
            while (links.hasNext()) {
                const QString target = links.next().captured(1);
                QVERIFY2(QFile::exists(":/help/" + target), qPrintable(page + " -> " + target));
            }
        }
        QVERIFY(readResource(QUrl("qrc:/help/settings.html")).contains("~/.config/Ardenox/Ardenox.ini"));
    }

    // The score-log viewer and the AVI maker: the entry shows one window,
    // not modal; chosen again, it brings that window to the front as it was.
    void toolWindowsAreOneEachBroughtToFront()
    {
        const struct {
            const char *entry, *window, *box;
        } tools[] = {{"mnuToolScore", "frmLog", "txtLog"}, {"mnuToolAVI", "frmAVI", "txtFPS"}};
        for (const auto &t : tools) {
            ScopedPlatform platform;
            Editor e;
            e.window.show();
            e.action(t.entry)->trigger();
            QCOMPARE(visibleWindows(t.window).size(), 1);
            QWidget *tool = visibleWindows(t.window).first();
            QVERIFY(!tool->isModal());
            type(*tool, t.box, "12");
            e.window.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(&e.window));
            e.action(t.entry)->trigger();
            QCOMPARE(visibleWindows(t.window), QList<QWidget *>{tool});
            QCOMPARE(shown(*tool, {t.box}), QStringList{"12"});
            QTRY_COMPARE(QApplication::activeWindow(), tool);
            tool->close();
        }
    }
};

QTEST_MAIN(TestToolsHelp)
#include "test_toolshelp.moc"
