// File > "Import Questions..." and "Export As..." in the editor window, with
// the message, file-dialog and settings doubles.
#include "webquiz/WebQuizFormat.h"
#include "document/HeldMedia.h"
#include "ControlLookup.h"
#include "TestDoubles.h"
#include "TestFiles.h"
#include "MediaBytes.h"
#include "dialogs/dlgReport.h"
#include "app/dlgBankChooser.h"
#include "app/frmCreate.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The report the last import or export opened, closed after reading.
QStringList takeReport(frmCreate &w, QString *summary)
{
    dlgReport *report = w.findChild<dlgReport *>();
    if (!report)
        return {"no report"};
    *summary = report->summary();
    const QStringList lines = report->lines();
    report->close();
    delete report;
    return lines;
}

// Acts on the bank chooser once it is shown (it is modal), with real keys:
// Space on a row's box checks it.
void whenChooserShown(const std::function<void(dlgBankChooser &)> &act, int triesLeft = 250)
{
    QTimer::singleShot(20, [act, triesLeft] {
        auto *chooser = qobject_cast<dlgBankChooser *>(QApplication::activeModalWidget());
        if (!chooser && triesLeft > 0)
            return whenChooserShown(act, triesLeft - 1);
        QVERIFY(chooser);
        act(*chooser);
    });
}

void checkRows(dlgBankChooser &chooser, const QList<int> &rows)
{
    QTableView *view = chooser.lstQuestions;
    view->setFocus();
    for (int row : rows) {
        view->setCurrentIndex(view->model()->index(row, 0));
        QTest::keyClick(view, Qt::Key_Space);
    }
}
}

class TestExchangeMenu : public QObject {
    Q_OBJECT
private slots:
    void bothCommandsFollowSaveAs()
    {
        ScopedPlatform p;
        frmCreate w;
        QStringList names;
        for (QAction *a : get<QMenu>(w, "mnuFile")->actions())
            names << a->objectName();
        // The web quiz's export and the learning-platform package follow
        // the other export.
        QCOMPARE(names.mid(0, 9), QStringList({"mnuFileNew", "mnuFileOpen", "mnuFileSave", "mnuFileSaveas",
                                               "mnuFileImport", "mnuFileExport", "mnuFileExportWeb",
                                               "mnuFileExportPlatform", "mnuBar1"}));
        // With access keys no other File item uses.
        QStringList keys;
        for (QAction *a : get<QMenu>(w, "mnuFile")->actions()) {
            const qsizetype amp = a->text().indexOf(QLatin1Char('&'));
            if (amp >= 0 && a->isVisible())
                keys << a->text().mid(amp + 1, 1).toLower();
        }
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        QCOMPARE(shown(w, {"mnuFileImport", "mnuFileExport"}), QStringList({"&Import Questions...", "&Export As..."}));
        QCOMPARE(enabled(w, {"mnuFileImport", "mnuFileExport"}), QString("10"));   // nothing to export yet
    }

    // A test with 98 questions takes two of three; the third is named.
    void importAppendsWhatFitsAndReportsTheRest()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        QStringList records;
        for (int i = 1; i <= 98; ++i)
            records << record({"t", QStringLiteral("Old %1").arg(i), "none", " 0"});
        writeTest(dir.filePath("old.ard"), "Old", "Class", records);
        writeBytes(dir.filePath("new.gift"), "::a:: First {=1 ~2 ~3 ~4}\n\nSecond {F}\n\nThird {T}\n\nEssay {}\n");
        frmCreate w;
        p.dialogs.answer(dir.filePath("old.ard"));
        click(w, "mnuFileOpen");
        type(w, "txtMQuestion", "Being typed");

        // Three questions for a room of two: the teacher chooses the first two.
        p.dialogs.answer(dir.filePath("new.gift"));
        QString intro;
        whenChooserShown([&](dlgBankChooser &chooser) {
            QCOMPARE(chooser.lstQuestions->model()->rowCount(), 3);
            // Each question's answers, the right one marked, beside its text.
            const QAbstractItemModel *rows = chooser.lstQuestions->model();
            QCOMPARE(rows->headerData(3, Qt::Horizontal).toString(), QString("Answers"));
            QCOMPARE(rows->index(0, 3).data().toString(), QString("A 1 (right); B 2; C 3; D 4"));
            QCOMPARE(rows->index(1, 3).data().toString(), QString("False (right)"));
            QVERIFY(!chooser.cmdImport->isEnabled());
            checkRows(chooser, {0, 1, 2});
            QCOMPARE(chooser.lblChosen->text(), QString("3 of 3 questions shown. 3 chosen: more than the 2 the test has room for."));
            QVERIFY(!chooser.cmdImport->isEnabled());
            checkRows(chooser, {2});
            QCOMPARE(chooser.lblChosen->text(), QString("3 of 3 questions shown. 2 chosen; room for 2."));
            QTest::mouseClick(chooser.cmdImport, Qt::LeftButton);
        });
        click(w, "mnuFileImport");
        const FileDialogRequest &request = p.dialogs.requests.last();
        QCOMPARE(request.title, QString("Import Questions..."));
        QCOMPARE(request.filters.first().description,
                 QString("Question files (*.ard *.gift *.txt *.aiken *.xml *.csv)"));
        QVERIFY(request.fileMustExist);

        QCOMPARE(w.document().questionCount(), 100);
        QCOMPARE(w.document().record(99), record({"m", "First", "1", "2", "3", "4", "none", " 0"}));
        QCOMPARE(w.document().record(100), record({"t", "Second", "none", " 1"}));
        QCOMPARE(get<QComboBox>(w, "cboExist")->count(), 100);
        QCOMPARE(shown(w, {"lblNumber", "txtMQuestion"}), QStringList({"Question # 101", "Being typed"}));
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - old.ard *"));   // imported, not saved yet
        QString summary;
        const QStringList lines = takeReport(w, &summary);
        QCOMPARE(summary, QString("2 questions imported from \"new.gift\"."));
        QCOMPARE(lines, QStringList({"Line 7: an essay question cannot be carried; skipped.",
                                     "Question names and titles were left out: a test has none.",
                                     "2 of the file's 3 questions were chosen."}));
        QVERIFY(p.messages.shown.isEmpty());

        // The import is one step: undo takes both questions away, redo brings them back.
        auto *undo = get<QAction>(w, "mnuEditUndo");
        QCOMPARE(undo->text(), QString("&Undo Import 2 Questions"));
        undo->trigger();
        QCOMPARE(w.document().questionCount(), 98);
        QCOMPARE(get<QComboBox>(w, "cboExist")->count(), 98);
        QCOMPARE(shown(w, {"lblNumber"}), QStringList{"Question # 99"});
        click(w, "mnuEditRedo");
        QCOMPARE(w.document().questionCount(), 100);
        QCOMPARE(w.document().record(100), record({"t", "Second", "none", " 1"}));
    }

    // The chooser's filter, categories and draw, by real keys and clicks: a
    // draw checks exactly that many of the questions shown.
    void theChooserFiltersAndDraws()
    {
        QList<BankEntry> entries;
        for (int i = 0; i < 150; ++i)
            entries << BankEntry{i, i % 2 == 1, QStringLiteral("%1 question %2").arg(i < 100 ? "River" : "Lake").arg(i + 1),
                                 i < 100 ? "Rivers" : "Lakes", i + 1, QString(), QString()};
        dlgBankChooser chooser(BankChoice(entries, 100), "bank.gift");
        chooser.show();
        QCOMPARE(chooser.lstQuestions->model()->rowCount(), 150);
        QTest::keyClicks(chooser.txtFilter, "lake");
        QCOMPARE(chooser.lstQuestions->model()->rowCount(), 50);
        chooser.txtFilter->clear();
        chooser.cboCategory->setFocus();
        QTest::keyClick(chooser.cboCategory, Qt::Key_Down);   // "Rivers"
        QCOMPARE(chooser.lstQuestions->model()->rowCount(), 100);
        chooser.spnRandom->setFocus();
        chooser.spnRandom->selectAll();
        QTest::keyClicks(chooser.spnRandom, "12");
        QTest::mouseClick(chooser.cmdDraw, Qt::LeftButton);
        QCOMPARE(chooser.lblChosen->text(),
                 QString("100 of 150 questions shown. 12 chosen; room for 100. 12 more chosen at random; the earlier "
                         "choices stay."));
        for (int place : chooser.choice().picked())
            QVERIFY2(place < 100, "drawn among the rivers shown");
        QVERIFY(chooser.cmdImport->isEnabled());
        // A second draw from another category adds to the first: 12 + 18.
        QTest::keyClick(chooser.cboCategory, Qt::Key_Down);   // "Lakes"
        chooser.spnRandom->selectAll();
        QTest::keyClicks(chooser.spnRandom, "18");
        QTest::mouseClick(chooser.cmdDraw, Qt::LeftButton);
        QCOMPARE(chooser.choice().checkedCount(), 30);
    }

    // Embedded media wait in the editor's held-media folder (not a temporary
    // one, which ends with the program) and go beside the test when it is
    // saved: two questions sharing one picture share one copy, and a
    // different file under a taken name arrives under a free one.
    void importedMediaTravelWithTheSave()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        if (dir.path().contains(QLatin1Char('.')) || QDir::tempPath().contains(QLatin1Char('.')))
            QSKIP("the temporary folder's path holds a full stop; media kinds cannot be told there");
        const QByteArray question =
            "<question type=\"truefalse\"><questiontext format=\"html\"><text>Blue?</text>"
            "<file name=\"blue.bmp\" path=\"/\" encoding=\"base64\">" + mediaBytes("blue.bmp", "blue").toBase64()
            + "</file></questiontext><answer fraction=\"100\"><text>true</text></answer>"
              "<answer fraction=\"0\"><text>false</text></answer></question>";
        writeBytes(dir.filePath("pics.xml"), "<quiz>" + question + question + "</quiz>");
        frmCreate w;
        p.dialogs.answer(dir.filePath("pics.xml"));
        click(w, "mnuFileImport");
        const QStringList f = QuestionRecord::fields(w.document().record(1));
        QCOMPARE(f.size(), 4);
        QVERIFY2(f[2].startsWith(HeldMedia::defaultRoot() + "/") && f[2].endsWith("/blue.bmp"), qPrintable(f[2]));
        QCOMPARE(QuestionRecord::fields(w.document().record(2))[2], f[2]);
        QCOMPARE(readBytes(f[2]), mediaBytes("blue.bmp", "blue"));
        QString summary;
        takeReport(w, &summary);

        QDir(dir.path()).mkpath("test");
        writeBytes(dir.filePath("test/blue.bmp"), mediaBytes("blue.bmp", "the teacher's own blue"));
        type(w, "txtTitle", "Colours");
        type(w, "txtTeacher", "Class 1");
        p.dialogs.answer(dir.filePath("test/colours.ard"));
        click(w, "mnuFileSaveas");
        QCOMPARE(readBytes(dir.filePath("test/blue.bmp")), mediaBytes("blue.bmp", "the teacher's own blue"));
        QCOMPARE(readBytes(dir.filePath("test/blue-2.bmp")), mediaBytes("blue.bmp", "blue"));
        QCOMPARE(readTestFile(dir.filePath("test/colours.ard")).test->records,
                 QStringList({record({"t", "Blue?", "blue-2.bmp", " 0"}), record({"t", "Blue?", "blue-2.bmp", " 0"})}));
        takeReport(w, &summary);

        // Imported again: the picture of the same bytes already beside the
        // test is used where it is, not copied a third time.
        p.dialogs.answer(dir.filePath("pics.xml"));
        click(w, "mnuFileImport");
        QCOMPARE(QuestionRecord::fields(w.document().record(3))[2], QStringLiteral("blue-2.bmp"));
        QVERIFY(!QFileInfo::exists(dir.filePath("test/blue-3.bmp")));
    }

    // The test and its file name stay as they were.
    void exportWritesAnotherFormatAndLeavesTheTestAlone()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        writeTest(dir.filePath("quiz.ard"), "Quiz", "Class",
                  {record({"m", "Two?", "1", "2", "3", "4", "none", " 1"}), record({"t", "Yes?", "none", " 0"})});
        frmCreate w;
        p.dialogs.answer(dir.filePath("quiz.ard"));
        click(w, "mnuFileOpen");
        QVERIFY(get<QAction>(w, "mnuFileExport")->isEnabled());

        p.dialogs.answer(dir.filePath("out/quiz.aiken"));
        QDir(dir.path()).mkpath("out");
        click(w, "mnuFileExport");
        const FileDialogRequest &request = p.dialogs.requests.last();
        QCOMPARE(request.title, QString("Export As..."));
        QCOMPARE(request.filters.size(), 5);
        QCOMPARE(request.filters[request.filterIndex - 1].description, QString("GIFT text (*.gift *.txt)"));
        QCOMPARE(request.fileName, QString("quiz.gift"));
        QVERIFY(request.overwritePrompt);
        QCOMPARE(readBytes(dir.filePath("out/quiz.aiken")), QByteArray("Two?\nA) 1\nB) 2\nC) 3\nD) 4\nANSWER: B\n\n"));
        QString summary;
        QCOMPARE(takeReport(w, &summary),
                 QStringList{"Question 2: a true/false question; Aiken has none, so it was skipped."});
        QCOMPARE(summary, QString("1 question exported to \"quiz.aiken\"."));
        QCOMPARE(w.document().currentFile(), dir.filePath("quiz.ard"));
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - quiz.ard"));
        QCOMPARE(w.document().questionCount(), 2);

        // Editing a question turns both commands off, as it does Save As.
        auto *list = get<QComboBox>(w, "cboExist");
        list->setCurrentIndex(0);
        emit list->activated(0);
        QCOMPARE(enabled(w, {"mnuFileImport", "mnuFileExport"}), QString("00"));
    }

    // A web page chosen in Export As is made the one way File > "Export Web
    // Quiz..." makes it: the same message, not the exchange report.
    void exportAsAWebPageTakesTheWebQuizPath()
    {
        WebQuizFormat::registerFormat();   // as the program does at start
        ScopedPlatform p;
        QTemporaryDir dir;
        writeTest(dir.filePath("quiz.ard"), "Quiz", "Class", {record({"t", "Yes?", "none", " 0"})});
        frmCreate w;
        p.dialogs.answer(dir.filePath("quiz.ard"));
        click(w, "mnuFileOpen");
        p.dialogs.answer(dir.filePath("quiz.html"));
        click(w, "mnuFileExport");
        QVERIFY(QFileInfo::exists(dir.filePath("quiz.html")));
        QVERIFY(!w.findChild<dlgReport *>());
        QCOMPARE(p.messages.shown.size(), 1);
        QVERIFY2(p.messages.shown[0].text.startsWith("The web quiz was written to " + dir.filePath("quiz.html")),
                 qPrintable(p.messages.shown[0].text));
    }
};

QTEST_MAIN(TestExchangeMenu)
#include "test_exchange_menu.moc"
