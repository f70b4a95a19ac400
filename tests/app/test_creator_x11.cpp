// Starts the real ardeno-creator on the test X server and checks that the
// editor window with its caption is shown, with a screenshot to look at, and
// that its question list opens from a real mouse click.
#include "document/QuestionRecord.h"
#include "document/TestFile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestCreatorX11 : public QObject {
    Q_OBJECT

    static QString run(const QString &program, const QStringList &args, const QProcessEnvironment &env)
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        p.waitForFinished(10000);
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }

    static QProcessEnvironment x11Environment(const QString &display, const QString &config)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", config);   // the user's recent files stay untouched
        return env;
    }

private slots:
    void editorWindowIsShown()
    {
        const QString display = qEnvironmentVariable("ARDENO_TEST_DISPLAY");
        if (display.isEmpty())
            QSKIP("ARDENO_TEST_DISPLAY is not set: no X server for this test (run it through scripts/run-tests.sh)");
        if (QStandardPaths::findExecutable("xwininfo").isEmpty())
            QSKIP("xwininfo (x11-utils) is not installed");

        QTemporaryDir config;
        const QProcessEnvironment env = x11Environment(display, config.path());

        QProcess creator;
        creator.setProcessEnvironment(env);
        creator.start(ARDENO_CREATOR_EXE, {});
        QVERIFY2(creator.waitForStarted(10000), qPrintable(creator.errorString()));

        const QString caption = "Ardeno Test Creator - untitled.ard";
        QString tree;
        // Up to 30 s: on a loaded machine (a browser test beside it) the
        // first start also waits for the dynamic linker and the fonts.
        for (int i = 0; i < 300 && !tree.contains(caption); ++i) {
            QTest::qWait(100);
            tree = run("xwininfo", {"-root", "-tree"}, env);
        }
        if (!QStandardPaths::findExecutable("import").isEmpty()) {
            const QString shot = QDir::temp().filePath("ardeno-creator-x11.png");
            run("import", {"-window", "root", shot}, env);
            qInfo("screenshot: %s", qPrintable(shot));
            QVERIFY(QFileInfo(shot).size() > 0);
        }
        creator.kill();
        creator.waitForFinished(5000);
        QVERIFY2(tree.contains(caption), qPrintable("no window named \"" + caption + "\" on " + display));
    }

    // A click on the list's text line opens the list, which stays open after
    // the button is released (the X server sends the release to the popup).
    void questionListOpensOnClick()
    {
        const QString display = qEnvironmentVariable("ARDENO_TEST_DISPLAY");
        if (display.isEmpty())
            QSKIP("ARDENO_TEST_DISPLAY is not set: no X server for this test (run it through scripts/run-tests.sh)");
        if (QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("xdotool is not installed");

        QTemporaryDir dir;
        const QString test = dir.filePath("two.ard");
        QFile f(test);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QChar sep = QuestionRecord::FieldSeparator;
        f.write(testFileBytes("Title", "Class",
                              {QStringList({"t", "first", "none", " 0"}).join(sep),
                               QStringList({"t", "second", "none", " 1"}).join(sep)}));
        f.close();
        const QProcessEnvironment env = x11Environment(display, dir.path());

        QProcess creator;
        creator.setProcessEnvironment(env);
        creator.start(ARDENO_CREATOR_EXE, {test});
        QVERIFY2(creator.waitForStarted(10000), qPrintable(creator.errorString()));
        const QString pid = QString::number(creator.processId());
        const auto visibleWindows = [&] {
            return run("xdotool", {"search", "--onlyvisible", "--pid", pid}, env).split('\n', Qt::SkipEmptyParts);
        };
        QStringList windows;
        for (int i = 0; i < 100 && windows.isEmpty(); ++i) {
            QTest::qWait(100);
            windows = visibleWindows();
        }
        QCOMPARE(windows.size(), 1);
        QTest::qWait(300);
        // The list's text line, in the window: 392, 256 in its client area
        // below the menu bar.
        run("xdotool", {"mousemove", "--window", windows.first(), "420", "285", "click", "1"}, env);
        QTest::qWait(700);
        const int shown = visibleWindows().size();
        creator.kill();
        creator.waitForFinished(5000);
        QCOMPARE(shown, 2);   // the editor and the open list
    }
};

QTEST_GUILESS_MAIN(TestCreatorX11)
#include "test_creator_x11.moc"
