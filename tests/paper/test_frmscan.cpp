// The paper class in the real widgets: "Print Answer Sheets..." prints a
// class list's sheets through its buttons and the scripted dialogs; "Read
// Scanned Sheets..." reads a photo of a filled sheet (drawn on the page as
// the scan module renders it), lists the doubtful mark with its row, and the
// teacher's click writes the decision into the student's log. The editor's
// menus lead to both.

#include "ControlLookup.h"
#include "TestDoubles.h"
#include "TestFiles.h"
#include "app/frmCreate.h"
#include "classresults/ResultLog.h"
#include "document/TestFile.h"
#include "logview/frmClass.h"
#include "paper/SheetLayout.h"
#include "paper/SheetScanner.h"
#include "paper/dlgAnswerSheets.h"
#include "paper/frmScan.h"
#include "platform/ModuleLoader.h"
#include "platform/PrivateFolder.h"
#include "platform/WorkProgress.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

namespace {
const QStringList kRecords = {
    QStringLiteral("m\u00A9Longest river?\u00A9Thames\u00A9Rhine\u00A9Nile\u00A9Seine\u00A9none\u00A9 2"),
    QStringLiteral("t\u00A9The Rhine flows into the Black Sea.\u00A9none\u00A9 1"),
    QStringLiteral("m\u00A9Which flows through Paris?\u00A9Seine\u00A9Po\u00A9Tiber\u00A9Ebro\u00A9none\u00A9 0"),
};
}

class TestFrmScan : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_test;
    QString m_sheets;

    frmScan::Test test() const { return {m_test, QStringLiteral("Rivers"), QStringLiteral("Class 3"), kRecords}; }

    // The scan module with the printed sheets open in it; null (said) when
    // it cannot be.
    std::unique_ptr<SheetScanner> sheetsOpened() const
    {
        QString why;
        auto scanner = ModuleLoader::create<SheetScanner>(QStringLiteral(ARDENO_SHEETSCAN_MODULE),
                                                          ARDENO_SHEETSCAN_FACTORY, kSheetScannerInterfaceVersion, &why);
        const int fd = scanner ? ::open(QFile::encodeName(m_sheets).constData(), O_RDONLY) : -1;
        if (!scanner || !scanner->openPdf(fd, &why)) {
            qWarning("%s", qPrintable(why));
            scanner.reset();
        }
        if (fd >= 0)
            ::close(fd);
        return scanner;
    }

private slots:
    void initTestCase()
    {
        m_test = writeTest(m_dir.filePath(QStringLiteral("rivers.ard")), QStringLiteral("Rivers"),
                           QStringLiteral("Class 3"), kRecords);
    }

    void theSheetsArePrintedForAClassList()
    {
        ScopedPlatform platform;
        const QString list = m_dir.filePath(QStringLiteral("class.csv"));
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("name\nAnna\nBen\n");
        f.close();
        m_sheets = m_dir.filePath(QStringLiteral("sheets.pdf"));
        dlgAnswerSheets dialog({m_test, QStringLiteral("Rivers"), QStringLiteral("Class 3"), kRecords});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        platform.dialogs.answer(list);
        click(dialog, QStringLiteral("cmdBrowse"));
        auto *versions = dialog.findChild<QSpinBox *>(QStringLiteral("spnVersions"));
        versions->setFocus();
        QTest::keyClick(versions, Qt::Key_Up);
        QCOMPARE(versions->value(), 2);
        platform.dialogs.answer(m_sheets);
        click(dialog, QStringLiteral("cmdPdf"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY2(platform.messages.shown.isEmpty(), qPrintable(platform.messages.texts().join('\n')));
        const auto scanner = sheetsOpened();
        QVERIFY(scanner);
        QCOMPARE(scanner->pageCount(), 2);
    }

    void aDoubtfulMarkIsTheTeachersDecision()
    {
        ScopedPlatform platform;
        QVERIFY(!m_sheets.isEmpty());
        // Anna's sheet (version 1: the test's own order) as a phone would
        // take it, filled: Nile for 1, both True and False for 2, Seine for 3.
        const auto scanner = sheetsOpened();
        QVERIFY(scanner);
        QString why;
        QImage page = scanner->page(0, 1754, &why).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!page.isNull());
        const SheetLayout layout(SheetPaper::A4);
        const double dots = page.height() / layout.pageSize().height();
        QPainter painter(&page);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(60, 60, 60));
        for (const auto &[place, option] : QList<QPair<int, int>>{{0, 2}, {1, 0}, {1, 1}, {2, 0}})
            painter.drawEllipse((layout.originOnPage() + layout.bubbleCentre(place, option)) * dots, 2.4 * dots, 2.4 * dots);
        painter.end();
        const QString photo = m_dir.filePath(QStringLiteral("anna.jpg"));
        QVERIFY(page.save(photo, "JPEG", 60));

        frmScan w(test());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.addScans({photo});
        const QString results = m_dir.filePath(QStringLiteral("results"));
        w.setResultsFolder(results);
        click(w, QStringLiteral("cmdRead"));
        QVERIFY2(platform.messages.shown.isEmpty(), qPrintable(platform.messages.texts().join('\n')));
        auto *doubts = w.findChild<QListWidget *>(QStringLiteral("lstDoubts"));
        QCOMPARE(doubts->count(), 1);
        QCOMPARE(doubts->item(0)->text(), QStringLiteral("Anna, question 2: more than one bubble is marked"));
        QVERIFY(!w.findChild<QLabel *>(QStringLiteral("picDoubt"))->pixmap().isNull());
        QCOMPARE(shown(w, {QStringLiteral("cmdChoice_0"), QStringLiteral("cmdChoice_1")}),
                 QStringList({QStringLiteral("&True"), QStringLiteral("&False")}));
        QVERIFY(!w.findChild<QPushButton *>(QStringLiteral("cmdChoice_2"))->isVisible());

        const QString log = QDir(results).filePath(QStringLiteral("Rivers - Anna.log"));
        ResultRead read = ResultLog::read(log);
        QCOMPARE(read.result.given, QStringList({QStringLiteral("C"), QStringLiteral("-"), QStringLiteral("A")}));
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("cmdChoice_1")), Qt::LeftButton);
        read = ResultLog::read(log);
        QCOMPARE(read.result.given, QStringList({QStringLiteral("C"), QStringLiteral("False"), QStringLiteral("A")}));
        QCOMPARE(read.result.score, 3);
        QCOMPARE(doubts->count(), 0);

        click(w, QStringLiteral("cmdClassResults"));
        QTRY_VERIFY(!QApplication::topLevelWidgets().isEmpty());
        frmClass *shownClass = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *c = qobject_cast<frmClass *>(top))
                shownClass = c;
        QVERIFY(shownClass);
        shownClass->close();
    }

    void aCancelledScanWritesNothing()
    {
        QString why;
        auto scanner = ModuleLoader::create<SheetScanner>(QStringLiteral(ARDENO_SHEETSCAN_MODULE),
                                                          ARDENO_SHEETSCAN_FACTORY, kSheetScannerInterfaceVersion, &why);
        QVERIFY2(scanner, qPrintable(why));
        const QString results = m_dir.filePath(QStringLiteral("cancelled"));
        const OutputFolderPtr folder = PrivateFolder::open(results, &why);
        QVERIFY2(folder, qPrintable(why));
        const PaperTest paper(QStringLiteral("Rivers"), QStringLiteral("Class 3"), kRecords);
        ScanRun run(paper, *scanner, folder);
        WorkProgress progress;
        progress.cancel();
        const ScanOutcome outcome = run.run({OpenFile::open(m_sheets, &why)}, &progress);
        QVERIFY(outcome.cancelled);
        QVERIFY(outcome.sheets.isEmpty());
        QCOMPARE(QDir(results).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void theEditorLeadsHere()
    {
        ScopedPlatform platform;
        frmCreate editor;
        auto *sheets = editor.menuBar()->findChild<QAction *>(QStringLiteral("mnuFileAnswerSheets"));
        auto *scan = editor.menuBar()->findChild<QAction *>(QStringLiteral("mnuToolScan"));
        QVERIFY(sheets && scan);
        QCOMPARE(sheets->text(), QStringLiteral("Print Answer S&heets..."));
        QVERIFY(!sheets->isEnabled());   // no questions yet, as Print
        const QList<QAction *> tools = editor.menuBar()->findChild<QMenu *>(QStringLiteral("mnuToolS"))->actions();
        QCOMPARE(tools.indexOf(scan), tools.indexOf(editor.menuBar()->findChild<QAction *>(QStringLiteral("mnuToolLive"))) + 1);
        // A new test is not saved: the scan cannot name it in the logs.
        scan->trigger();
        QCOMPARE(platform.messages.shown.size(), 1);
        QVERIFY(!editor.findChild<frmScan *>());
    }
};

QTEST_MAIN(TestFrmScan)
#include "test_frmscan.moc"
