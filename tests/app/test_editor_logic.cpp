// The editor's decisions without a window: command line, extension rule,
// labels and the thumbnail arithmetic.
#include "app/EditorLogic.h"
#include "pictures/FitPicture.h"

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

    void extensionAfterFirstFullStop()
    {
        QVERIFY(hasExtension("/tmp/quiz.ARD", "ard"));
        QVERIFY(hasExtension("/tmp/score.Log", "log"));
        // The first full stop of the whole path decides.
        QVERIFY(!hasExtension("/home/my.files/quiz.ard", "ard"));
        QVERIFY(!hasExtension("/tmp/quiz", "ard"));
        QVERIFY(!hasExtension("/tmp/quiz.ard.bak", "ard"));
    }

    void labelsAndCaption()
    {
        QCOMPARE(questionLabel(1), QString("Question # 1"));
        QCOMPARE(questionLabel(101), QString("Question # 101"));
        QCOMPARE(windowCaptionForPath("/a/b/Quiz One.ard"), QString("Ardeno Test Creator - Quiz One.ard"));
    }

    void thumbnail_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("expected");
        QTest::addColumn<bool>("scaled");
        QTest::newRow("small, centred") << QSize(50, 40) << QRect(33, 38, 50, 40) << false;
        QTest::newRow("wide, 58.5 rounds to even") << QSize(234, 117) << QRect(0, 29, 117, 58) << true;
        QTest::newRow("exact fit") << QSize(117, 117) << QRect(0, 0, 117, 117) << false;
        QTest::newRow("tall") << QSize(100, 400) << QRect(44, 0, 29, 117) << true;   // 29.25 -> 29, (117-29)/2 = 44
        QTest::newRow("too high only") << QSize(60, 234) << QRect(43, 0, 30, 117) << true;
        QTest::newRow("large photo") << QSize(6000, 4000) << QRect(0, 19, 117, 78) << true;
        // R = 117/702 as a float is a little above 1/6: 3 x R is just over a half.
        QTest::newRow("product not rounded to float") << QSize(3, 702) << QRect(58, 0, 1, 117) << true;
    }
    void thumbnail()
    {
        QFETCH(QSize, picture);
        QFETCH(QRect, expected);
        QFETCH(bool, scaled);
        const Thumbnail t = thumbnailRect(QSize(117, 117), picture);
        QCOMPARE(t.target, expected);
        QCOMPARE(t.scaled, scaled);
    }

    void lowerCasedRecentPathFindsTheFile()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("My Tests"));
        QFile f(dir.path() + "/My Tests/Quiz.ard");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(existingPathIgnoringCase(f.fileName()), f.fileName());
        const QString lower = dir.path() + "/my tests/quiz.ard";
        QCOMPARE(QFileInfo(existingPathIgnoringCase(lower)).canonicalFilePath(),
                 QFileInfo(f.fileName()).canonicalFilePath());
        QCOMPARE(existingPathIgnoringCase(dir.path() + "/my tests/other.ard"), QString());
    }
};

QTEST_APPLESS_MAIN(TestEditorLogic)
#include "test_editor_logic.moc"
