// The editor's decisions without a window: command line, labels and the
// recent-files path lookup.
#include "TestFiles.h"
#include "app/EditorLogic.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace EditorLogic;

class TestEditorLogic : public QObject {
    Q_OBJECT
private slots:
    void commandLine()
    {
        // Split by the shell or not, a path with blanks comes out whole.
        QCOMPARE(commandLineText({"/home/t/My", "Tests/quiz.ard"}), QString("/home/t/My Tests/quiz.ard"));
        QCOMPARE(commandLineText({"/home/t/My Tests/quiz.ard"}), QString("/home/t/My Tests/quiz.ard"));
        QCOMPARE(commandLineText({"\"a b.ard\""}), QString("\"a b.ard\""));   // not unquoted
        QCOMPARE(commandLineText({"a.ard\r\nrest"}), QString("a.ard"));
        QCOMPARE(commandLineText({}), QString());
    }

    void labelsAndCaption()
    {
        QCOMPARE(questionLabel(1), QString("Question # 1"));
        QCOMPARE(questionLabel(101), QString("Question # 101"));
        QCOMPARE(windowCaptionForPath("/a/b/Quiz One.ard"), QString("Ardeno Test Creator - Quiz One.ard"));
    }

    void lowerCasedRecentPathFindsTheFile()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("My Tests"));
        const QString quiz = writeBytes(dir.path() + "/My Tests/Quiz.ard", {});
        QCOMPARE(existingPathIgnoringCase(quiz), quiz);
        const QString lower = dir.path() + "/my tests/quiz.ard";
        QCOMPARE(QFileInfo(existingPathIgnoringCase(lower)).canonicalFilePath(),
                 QFileInfo(quiz).canonicalFilePath());
        QCOMPARE(existingPathIgnoringCase(dir.path() + "/my tests/other.ard"), QString());
    }
};

QTEST_APPLESS_MAIN(TestEditorLogic)
#include "test_editor_logic.moc"
