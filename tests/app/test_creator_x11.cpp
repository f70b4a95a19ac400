// Starts the real ardeno-creator on the test X server and checks that the
// editor window with its caption is shown, with a screenshot to look at.
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

private slots:
    void editorWindowIsShown()
    {
        const QString display = qEnvironmentVariable("ARDENO_TEST_DISPLAY");
        if (display.isEmpty())
            QSKIP("ARDENO_TEST_DISPLAY is not set: no X server for this test (run it through scripts/run-tests.sh)");
        if (QStandardPaths::findExecutable("xwininfo").isEmpty())
            QSKIP("xwininfo (x11-utils) is not installed");

        QTemporaryDir config;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", config.path());   // the user's recent files stay untouched

        QProcess creator;
        creator.setProcessEnvironment(env);
        creator.start(ARDENO_CREATOR_EXE, {});
        QVERIFY2(creator.waitForStarted(10000), qPrintable(creator.errorString()));

        const QString caption = "Ardeno Test Creator - untitled.ard";
        QString tree;
        for (int i = 0; i < 100 && !tree.contains(caption); ++i) {
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
};

QTEST_GUILESS_MAIN(TestCreatorX11)
#include "test_creator_x11.moc"
