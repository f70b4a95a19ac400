// The score log viewer: what a log shows as, large and special files, the
// text export, the printout and the start-up hand-over.

#include "TestFiles.h"
#include "print/PdfProbe.h"
#include "document/LineCodec.h"
#include "print/PrintSurface.h"
#include "document/ScoreLog.h"
#include "NonRegularFiles.h"
#include "TestDoubles.h"
#include "document/Windows1252.h"
#include "logview/frmLog.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QMenu>
#include <QSet>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest>

namespace {
// A score log as the quiz player writes it: each line scrambled on its own.
QByteArray logBytes(const QStringList &lines, const QByteArray &end = "\r\n", bool lastEnded = true)
{
    QByteArray out;
    for (int i = 0; i < lines.size(); ++i)
        out += LineCodec::logLine(Windows1252::encode(lines[i]))
            + (i + 1 < lines.size() || lastEnded ? end : QByteArray());
    return out;
}
}

class TestFrmLog : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString writeLog(const QString &name, const QByteArray &bytes)
    {
        return writeBytes(m_dir.filePath(name), bytes);
    }
    // The viewer as program start opens it, with `path` as the log.
    frmLog *openStartup(const QString &path)
    {
        frmLog::StartupLog = path;
        return frmLog::showLog();
    }
    QAction *action(const char *name) { return frmLog::instance()->findChild<QAction *>(name); }

private slots:
    void cleanup()
    {
        delete frmLog::instance();
        frmLog::StartupLog.clear();
    }

    void lineEndsInTheBox()
    {
        // Lines are paragraphs of the box; a lone LF is a visible sign in its line.
        const QString text = "Name: Ann\r\nScore\n7 of 10\r\n\r\n";
        frmLog w;
        w.setShownText(text);
        QCOMPARE(w.shownText(), text);
        QCOMPARE(w.textBox()->document()->blockCount(), 4);
        QCOMPARE(w.textBox()->document()->findBlockByNumber(1).text(), "Score" + QString(QChar(0x2193)) + "7 of 10");
        // Text typed or pasted with line breaks becomes CR LF lines.
        w.textBox()->setPlainText("a\nb");
        QCOMPARE(w.shownText(), QString("a\r\nb"));
    }

    // Tab leaves the box for the next control, as everywhere else; it types
    // no tab into the log.
    void tabMovesOn()
    {
        frmLog w;
        w.setShownText("Name: Ann\r\n");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.textBox()->setFocus();
        QTest::keyClick(w.textBox(), Qt::Key_Tab);
        QCOMPARE(w.shownText(), QString("Name: Ann\r\n"));
    }

    void readingALog_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        const QStringList lines{"Ann Smith", "World Capitals", "Score 7 of 10"};
        const QString three = "Ann Smith\r\nWorld Capitals\r\nScore 7 of 10\r\n";
        QTest::newRow("CR LF at the end") << logBytes(lines) << three;
        QTest::newRow("no terminator at the end") << logBytes(lines, "\r\n", false) << three;
        QTest::newRow("lone CR ends lines") << logBytes(lines, "\r") << three;
        QTest::newRow("empty log") << QByteArray() << QString();
        QTest::newRow("empty line") << logBytes({"a", "", "b"}) << QString("a\r\n\r\nb\r\n");
        QTest::newRow("LF inside a line") << logBytes({"a\nb", "c"}) << QString("a\nb\r\nc\r\n");
    }
    void readingALog()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        frmLog *w = openStartup(writeLog("read.log", bytes));
        QCOMPARE(w->shownText(), shown);
        QCOMPARE(w->textBox()->textCursor().position(), 0);
        QCOMPARE(w->LogFileName, m_dir.filePath("read.log"));
    }

    void largeLogsShowReadOnlyAndSaveTheSameBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("5 MB of lone CRs") << QByteArray(5 * 1024 * 1024, '\r');
        QTest::newRow("one 5 MB line") << QByteArray(5 * 1024 * 1024, 'x');
        QByteArray many;
        for (int i = 0; i < 30000; ++i)
            many += LineCodec::logLine("Pupil " + QByteArray::number(i) + " 7 of 10\n!") + "\r\n";
        QTest::newRow("30,000 lines") << many;
    }

    void largeLogsShowReadOnlyAndSaveTheSameBytes()
    {
        QFETCH(QByteArray, bytes);
        ScopedPlatform platform;
        frmLog *w = openStartup(writeLog("large.log", bytes));
        // Shown by the view that lays out only what is on screen; the text
        // box (whose caret would re-lay out a long line) holds nothing.
        QVERIFY(w->showsLargeLog());
        QVERIFY(!w->textBox()->isVisible());
        QVERIFY(w->textBox()->document()->characterCount() <= 1);
        QCOMPARE(w->shownText(), ScoreLog::textFromBytes(bytes));
        // Save as Text File writes what the box would have written.
        platform.dialogs.answer(m_dir.filePath("large.txt"));
        w->mnuSave_Click();
        QCOMPARE(readBytes(m_dir.filePath("large.txt")), ScoreLog::exportBytes(ScoreLog::textFromBytes(bytes)));
        // Read-only: editing commands change nothing.
        w->mnuEditPaste_Click();
        w->mnuEditCut_Click();
        QCOMPARE(w->shownText(), ScoreLog::textFromBytes(bytes));
        QVERIFY(platform.messages.shown.isEmpty());
    }

    void pipesDevicesAndHugeFilesAreNotRead()
    {
        ScopedPlatform platform;
        const QStringList specials = makeNonRegularFiles(m_dir.path(), ".log");
        QCOMPARE(specials.size(), 2);
        frmLog *w = nullptr;
        for (const QString &path : specials) {
            w = openStartup(path);
            QCOMPARE(w->shownText(), QString());
            delete w;
        }
        QVERIFY(platform.messages.shown.isEmpty());
        // Beyond what any log can be: refused with a message naming it
        // (a sparse file: nothing of it is read).
        QFile huge(m_dir.filePath("huge.log"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(ScoreLog::MaxLogBytes + 1));
        huge.close();
        w = openStartup(huge.fileName());
        QCOMPARE(w->shownText(), QString());
        QCOMPARE(platform.messages.shown.size(), 1);
        QVERIFY(platform.messages.texts().at(0).contains("huge.log"));
    }

    void saveAsTextFile()
    {
        ScopedPlatform platform;
        frmLog w;
        w.setShownText("   Ann\r\n  Score\n7  \r\n  ");
        platform.dialogs.answer(m_dir.filePath("out.txt"));
        w.mnuSave_Click();
        // Blanks trimmed from the whole text only; one CR LF added; the LF kept.
        QCOMPARE(readBytes(m_dir.filePath("out.txt")), QByteArray("Ann\r\n  Score\n7  \r\n\r\n"));
        QCOMPARE(w.LogFileName, m_dir.filePath("out.txt"));
        QCOMPARE(platform.dialogs.requests.at(0).fileName, QString("untitled.txt"));
        QCOMPARE(platform.dialogs.requests.at(0).title, QString("Save File..."));
        // Cancelled: nothing written or shown, the name emptied.
        platform.dialogs.answer("");
        w.mnuSave_Click();
        QCOMPARE(w.LogFileName, QString());
        QVERIFY(platform.messages.shown.isEmpty());
        // Cannot be written: the message, the text unchanged.
        platform.dialogs.answer(m_dir.filePath("no/such/folder/x.txt"));
        w.mnuSave_Click();
        QCOMPARE(platform.messages.shown.size(), 1);
        QVERIFY(platform.messages.texts()[0].startsWith("There has been an error saving this log as a text file.\n\n"
                                                        + m_dir.filePath("no/such/folder/x.txt") + ": "));
        QCOMPARE(platform.messages.shown[0].icon, MsgIcon::Critical);
        QCOMPARE(w.shownText(), QString("   Ann\r\n  Score\n7  \r\n  "));
    }

    void printTheLog()
    {
        if (!PdfProbe::available())
            QSKIP("poppler-utils not installed: printouts cannot be read back");
        ScopedPlatform platform;
        const QString pdf = m_dir.filePath("log.pdf");
        PrintSurface::setDefaultPrinterOverride(pdf);
        frmLog *w = openStartup(writeLog("print.log", logBytes({"Ann Smith", "Score 7 of 10"})));
        w->mnuPrint_Click();
        QCOMPARE(PdfProbe::run("pdftotext", {pdf, "-"}).split('\n', Qt::SkipEmptyParts).mid(0, 3),
                 QStringList({m_dir.filePath("print.log"), "Ann Smith", "Score 7 of 10"}));
        // After a cancelled save the name is empty: an empty line, an empty
        // name line and two empty lines come before the text.
        platform.dialogs.answer("");
        w->mnuSave_Click();
        w->mnuPrint_Click();
        const QRect ink = PdfProbe::bounds(PdfProbe::pageImage(pdf, 1), PdfProbe::isDark);
        const int expectedTop = qRound((6.35 + 4 * PrintSurface::toPdf(pdf)->textHeight()) * 10);
        QVERIFY2(ink.top() >= expectedTop && ink.top() < expectedTop + 20, qPrintable(QString::number(ink.top())));
        QVERIFY(platform.messages.shown.isEmpty());

        PrintSurface::setDefaultPrinterOverride(QString());
        w->mnuPrint_Click();
        PrintSurface::clearDefaultPrinterOverride();
        QCOMPARE(platform.messages.texts(), QStringList{"There has been an error in printing this log."});
    }

    void startupLogIsReadOnce()
    {
        const QString path = writeLog("start.log", logBytes({"from the command line"}));
        QPointer<frmLog> w = openStartup(path);
        QCOMPARE(w->shownText(), QString("from the command line\r\n"));
        QCOMPARE(frmLog::StartupLog, QString());
        w->mnuExit_Click();
        QTRY_VERIFY(w.isNull());   // gone with its text
        frmLog *again = frmLog::showLog();
        QCOMPARE(again->shownText(), QString());
        QCOMPARE(again->LogFileName, QString());
    }
};

QTEST_MAIN(TestFrmLog)
#include "test_frmlog.moc"
