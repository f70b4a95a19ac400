// The Class Results window in the real widgets: results opened from a
// folder with the files that are no results named once, the table sorted
// and filtered, the spreadsheet and the one-page report written, and the
// ways in (the Tools menu, the log viewer, the command line).

#include "TestFiles.h"
#include "classresults/ClassLoader.h"
#include "classresults/ClassTableModel.h"
#include "classresults/ItemAnalysisModel.h"
#include "app/Startup.h"
#include "app/frmCreate.h"
#include "classresults/ClassLogs.h"
#include "logview/ClassCharts.h"
#include "logview/frmClass.h"
#include "classresults/ResultLog.h"
#include "print/PrintSurface.h"
#include "logview/ClassReportPrintout.h"
#include "document/TestFile.h"
#include "logview/frmLog.h"
#include "print/PdfProbe.h"
#include "TestDoubles.h"

#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QtTest>

namespace {
const QStringList kRight = {"A", "True", "C", "B"};

// A class of four and, beside them, what a teacher's folder also holds.
void writeClass(const QString &folder)
{
    const QList<LogSpec> specs = {
        {"Ann", {"A", "True", "C", "B"}, kRight, 80},
        {"Ben", {"A", "False", "D", "B"}, kRight, 200},
        {"Zoë", {"B", "True", "D", "B"}, kRight, 45},
        {"Dee", {"B", "False", "D", "A"}, kRight, 130},
    };
    for (const LogSpec &s : specs)
        writeFile(folder + QStringLiteral("/Rivers - ") + s.name + QStringLiteral(".log"), scrambled(logLines(s)));
    LogSpec other{"Eve", {"A"}, {"A"}};
    other.title = QStringLiteral("Lakes");
    other.testId = QStringLiteral("ffffffffffff");
    writeFile(folder + QStringLiteral("/Lakes - Eve.log"), scrambled(logLines(other)));
    writeFile(folder + QStringLiteral("/player.log"), scrambled({"Score Sheet", "Ann 3 of 4"}));
    QStringList cut = logLines({"Fay", {"A", "True", "C", "B"}, kRight});
    cut.removeLast();
    writeFile(folder + QStringLiteral("/Rivers - Fay.log"), scrambled(cut));
    writeFile(folder + QStringLiteral("/notes.txt"), "not a log");
}

QString cell(const frmClass &w, int row, int column)
{
    return w.table()->index(row, column).data().toString();
}
}

class TestFrmClass : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void opensAFolderSortsFiltersAndExports()
    {
        ScopedPlatform p;
        writeClass(m_dir.path());
        frmClass w;
        w.show();
        QVERIFY(w.notice().startsWith(QStringLiteral("Open the result logs")));
        p.dialogs.answer(m_dir.path());
        w.mnuOpenFolder_Click();
        QCOMPARE(p.dialogs.requests.last().mode, FileDialogRequest::Mode::Folder);

        // Four of the class's results, with the figures below them.
        QCOMPARE(w.table()->studentRows(), 4);
        QCOMPARE(w.windowTitle(), QStringLiteral("Class Results - Rivers"));
        QCOMPARE(w.notice(), QStringLiteral("Not web quiz results, so not shown: player.log.\n"
                                            "Could not be read: Rivers - Fay.log (the file ends after question 3 of 4: it was not saved whole; ask for the result again).\n"
                                            "1 result of another test hidden (View > Show Results of Other Tests)."));
        QVERIFY(w.findChild<QLabel *>(QStringLiteral("lblNotice"))->isVisible());
        // However long, the notice keeps its few lines' height and scrolls.
        QVERIFY(w.findChild<QWidget *>(QStringLiteral("scrNotice"))->maximumHeight() <= w.fontMetrics().lineSpacing() * 6);
        auto *view = w.findChild<QTableView *>(QStringLiteral("tblResults"));
        view->horizontalHeader()->setSortIndicator(ClassTableModel::Percent, Qt::DescendingOrder);
        QCOMPARE(cell(w, 0, 0), QStringLiteral("Ann"));
        QCOMPARE(cell(w, 3, 0), QStringLiteral("Dee"));
        QCOMPARE(cell(w, 4, 0), QStringLiteral("Mean (4 students)"));
        QCOMPARE(w.items()->rowCount(), 4);
        QCOMPARE(w.items()->index(2, ItemAnalysisModel::Concern).data().toString(),
                 QStringLiteral("few right (25%); most chose D"));
        QVERIFY(w.findChild<QChartView *>(QStringLiteral("chtScores"))->chart()->series().size() == 1);

        // Another test's result, shown when asked, counts in no figure.
        auto *others = w.findChild<QAction *>(QStringLiteral("mnuOtherTests"));
        others->trigger();
        QCOMPARE(w.table()->studentRows(), 5);
        QCOMPARE(w.table()->figures().students, 4);
        QCOMPARE(cell(w, 0, 0), QStringLiteral("Eve"));   // 100%: the sort holds
        QCOMPARE(cell(w, 0, ClassTableModel::Notes), QStringLiteral("another test"));
        // Its answers are not marked by this test's key.
        QVERIFY(!w.table()->index(0, ClassTableModel::FirstQuestion).data(Qt::BackgroundRole).isValid());
        QVERIFY(w.table()->index(1, ClassTableModel::FirstQuestion).data(Qt::BackgroundRole).isValid());
        others->trigger();

        // Adding the same folder again adds nothing; a new file adds a row.
        writeFile(m_dir.filePath(QStringLiteral("Rivers - Gus.log")),
                  scrambled(logLines({"Gus", {"A", "True", "D", "A"}, kRight})));
        w.addPaths({m_dir.path()});
        QCOMPARE(w.table()->studentRows(), 5);

        const QString csv = m_dir.filePath(QStringLiteral("out/class.csv"));
        QDir().mkpath(QFileInfo(csv).path());
        p.dialogs.answer(csv);
        w.mnuExportCsv_Click();
        QCOMPARE(p.dialogs.requests.last().fileName, QStringLiteral("Rivers - results.csv"));
        const QByteArray bytes = readBytes(csv);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QString text = QString::fromUtf8(bytes);
        QVERIFY(text.contains(QStringLiteral("Zoë,2,4,50,45,")));

        if (!PdfProbe::available())
            QSKIP("poppler-utils missing");
        const QString pdf = m_dir.filePath(QStringLiteral("out/report.pdf"));
        p.dialogs.answer(pdf);
        w.mnuPrintPdf_Click();
        QCOMPARE(PdfProbe::pageCount(pdf), 1);
        const QString printed = PdfProbe::run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY2(printed.contains(QStringLiteral("Class results: Rivers")), qPrintable(printed));
        QVERIFY(printed.contains(QStringLiteral("5 results of 4 questions")));
        QVERIFY(printed.contains(QStringLiteral("Questions worth a look")));
        // The test's figures, and each question worth a look with its
        // options counted and why.
        QVERIFY(printed.contains(QStringLiteral("standard deviation")));
        QVERIFY2(QRegularExpression(QStringLiteral("Q3 +A 0, B 0, C \\d, D \\d, none 0 +few right")).match(printed).hasMatch(),
                 qPrintable(printed));
        QVERIFY(p.messages.shown.isEmpty());
    }

    // Every student when they fit on two pages, each name on one line.
    void theReportTakesTwoPagesForAClassThatNeedsThem()
    {
        if (!PdfProbe::available())
            QSKIP("poppler-utils missing");
        QTemporaryDir dir;
        ClassResults results;
        for (int i = 0; i < 90; ++i) {
            LogSpec s{QStringLiteral("Pupil %1").arg(i), {"A", "True", "C", "B"}, kRight};
            if (i == 5)
                s.name = QStringLiteral("Tab\tin name");
            results.add(ResultLog::parse(scrambled(logLines(s)), QStringLiteral("p%1.log").arg(i)), QStringLiteral("p%1.log").arg(i));
        }
        ClassTableModel table;
        table.show(&results, {});
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        {
            const auto printer = PrintSurface::toPdf(pdf);
            QVERIFY(ClassReportPrintout::print(*printer, results, table));
        }
        QCOMPARE(PdfProbe::pageCount(pdf), 2);
        const QString printed = PdfProbe::run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(printed.contains(QStringLiteral("Pupil 89")));
        QVERIFY(printed.contains(QStringLiteral("Tab in name")));
        QVERIFY(printed.contains(QStringLiteral("are on the next page.")));
    }

    // A report a head of department can trust: every row whole (a student
    // with twenty wrong has all twenty listed), the attempt counted marked,
    // and the class line and the dates of the attempts in the heading.
    void everyRowIsWholeAndTheCountedAttemptMarked()
    {
        if (!PdfProbe::available())
            QSKIP("poppler-utils missing");
        QTemporaryDir dir;
        QStringList right, wrong;
        for (int q = 0; q < 24; ++q) {
            right << QStringLiteral("A");
            wrong << (q < 20 ? QStringLiteral("B") : QStringLiteral("A"));
        }
        ClassResults results;
        const QList<LogSpec> logs = {
            {QStringLiteral("Many Wrong"), wrong, right, 60, QStringLiteral("2026-12-01 10:00:00")},
            {QStringLiteral("Twice"), wrong, right, 60, QStringLiteral("2026-12-01 10:05:00")},
            {QStringLiteral("Twice"), right, right, 60, QStringLiteral("2026-12-03 09:00:00")},
        };
        for (int i = 0; i < logs.size(); ++i)
            results.add(ResultLog::parse(scrambled(logLines(logs[i])), QStringLiteral("l%1.log").arg(i)),
                        QStringLiteral("l%1.log").arg(i));
        ClassTableModel table;
        table.show(&results, {});
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        {
            const auto printer = PrintSurface::toPdf(pdf);
            QVERIFY(ClassReportPrintout::print(*printer, results, table));
        }
        const QString printed = PdfProbe::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        for (int q = 1; q <= 20; ++q)
            QVERIFY2(printed.contains(QRegularExpression(QStringLiteral("\\bQ%1\\b").arg(q))), qPrintable(printed));
        QVERIFY2(printed.contains(QStringLiteral("Twice (counted attempt)")), qPrintable(printed));
        QVERIFY(printed.contains(QStringLiteral("Twice (not counted)")));
        QVERIFY2(printed.contains(QStringLiteral("Class 3. Handed in ")), qPrintable(printed));
        QVERIFY(printed.contains(QStringLiteral(" to ")));
    }

    // The question chart names a dozen questions at most: at 144 dpi more
    // would run into each other.
    void theQuestionChartNamesAFewQuestions()
    {
        const QList<QPair<int, int>> cases = {{1, 1}, {12, 1}, {13, 2}, {24, 2}, {25, 5}, {60, 5}, {61, 10}, {100, 10}};
        for (const auto &[questions, step] : cases)
            QCOMPARE(ClassCharts::labelStep(questions), step);
        ClassFigures figures;
        for (int n = 1; n <= 30; ++n) {
            QuestionFigures q;
            q.number = n;
            figures.questions << q;
        }
        QStringList named;
        for (const QString &label : ClassCharts::facility(figures).categories)
            if (!label.trimmed().isEmpty() && !label.startsWith(QChar(0x200B)))
                named << label;
        QCOMPARE(named, QStringList({"1", "5", "10", "15", "20", "25", "30"}));
    }

    // View > "Sort by": the sort a heading's click gives, by keyboard.
    void sortsFromTheViewMenu()
    {
        ScopedPlatform p;
        writeClass(m_dir.path());
        frmClass w;
        w.addPaths({m_dir.path()});
        auto *menu = w.menuBar()->findChild<QMenu *>(QStringLiteral("mnuSortBy"));
        QVERIFY(menu);
        // By name at first, whatever order the files came in.
        QVERIFY(w.menuBar()->findChild<QAction *>(QStringLiteral("mnuSortStudent"))->isChecked());
        frmClass opened;
        for (const char *name : {"Zoë", "Dee", "Ann", "Ben"})
            opened.addPaths({m_dir.filePath(QStringLiteral("Rivers - %1.log").arg(QString::fromUtf8(name)))});
        QStringList names;
        for (int row = 0; row < 4; ++row)
            names << cell(opened, row, ClassTableModel::Student);
        QCOMPARE(names, QStringList({"Ann", "Ben", "Dee", "Zoë"}));
        w.menuBar()->findChild<QAction *>(QStringLiteral("mnuSortScore"))->trigger();
        w.menuBar()->findChild<QAction *>(QStringLiteral("mnuSortDescending"))->trigger();
        QCOMPARE(cell(w, 0, ClassTableModel::Student), QStringLiteral("Ann"));   // 4 of 4
        w.menuBar()->findChild<QAction *>(QStringLiteral("mnuSortDescending"))->trigger();
        QCOMPARE(cell(w, 0, ClassTableModel::Score), QStringLiteral("0 of 4"));
        QCOMPARE(w.findChild<QTableView *>(QStringLiteral("tblResults"))->horizontalHeader()->sortIndicatorSection(),
                 int(ClassTableModel::Score));
    }

    // No keyboard trap: Tab leaves the results table, F6 and Ctrl+Tab go
    // from pane to pane (Shift: back), all as real keys through the window.
    void tabAndF6LeaveEveryPane()
    {
        ScopedPlatform p;
        writeClass(m_dir.path());
        frmClass w;
        w.show();
        p.dialogs.answer(m_dir.path());
        w.mnuOpenFolder_Click();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QWindow *window = w.windowHandle();
        const auto focused = [&w] { return w.focusWidget() ? w.focusWidget()->objectName() : QString(); };
        w.findChild<QWidget *>(QStringLiteral("tblResults"))->setFocus();
        QTest::keyClick(window, Qt::Key_Tab);
        QVERIFY2(focused() != QStringLiteral("tblResults"), qPrintable(focused()));
        w.findChild<QWidget *>(QStringLiteral("tblResults"))->setFocus();
        QStringList walked;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(window, Qt::Key_F6);
            walked << focused();
        }
        QCOMPARE(walked, QStringList({"tblItems", "chtScores", "chtFacility", "tblResults"}));
        // A chart draws no focus of its own: it is framed in black while it
        // has the keyboard, and not otherwise.
        auto *chart = w.findChild<QWidget *>(QStringLiteral("chtScores"));
        const auto edge = [chart] {
            const QImage shot = chart->grab().toImage();
            return shot.pixelColor(0, shot.height() / 2);
        };
        QVERIFY2(edge() != QColor(Qt::black), qPrintable(edge().name()));
        QTest::keyClick(window, Qt::Key_F6);
        QTest::keyClick(window, Qt::Key_F6);
        QCOMPARE(focused(), QStringLiteral("chtScores"));
        QCOMPARE(edge(), QColor(Qt::black));
        w.findChild<QWidget *>(QStringLiteral("tblResults"))->setFocus();
        QTest::keyClick(window, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(focused(), QStringLiteral("tblItems"));
        QTest::keyClick(window, Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(focused(), QStringLiteral("tblResults"));
    }

    // The question texts: the class's test found beside its results folder,
    // or opened by File > "Open Test..."; another test is refused.
    void questionTextsFromTheTest()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        const QStringList records = {
            QStringLiteral("m\u00A9Longest river?\u00A9Nile\u00A9Rhine\u00A9Seine\u00A9Thames\u00A9none\u00A9 0"),
            QStringLiteral("t\u00A9The Danube flows into the Black Sea.\u00A9none\u00A9 0")};
        const QString test = dir.filePath(QStringLiteral("rivers.ard"));
        writeFile(test, testFileBytes(QStringLiteral("Rivers"), QStringLiteral("Class 3"), records));
        QDir(dir.path()).mkdir(QStringLiteral("results"));
        LogSpec ann{"Ann", {"A", "False"}, {"A", "True"}};
        ann.testId = testIdentity(QStringLiteral("Rivers"), QStringLiteral("Class 3"), records);
        writeFile(dir.filePath(QStringLiteral("results/Rivers - Ann.log")), scrambled(logLines(ann)));

        frmClass *w = frmClass::showResults({dir.filePath(QStringLiteral("results"))}, nullptr);
        QCOMPARE(w->items()->index(0, ItemAnalysisModel::Text).data().toString(), QStringLiteral("Longest river?"));
        QCOMPARE(w->items()->index(0, ItemAnalysisModel::RightAnswer).data().toString(), QStringLiteral("A: Nile"));

        const QString other = dir.filePath(QStringLiteral("lakes.ard"));
        writeFile(other, testFileBytes(QStringLiteral("Lakes"), QStringLiteral("Class 3"), records));
        p.dialogs.answer(other);
        w->mnuOpenTest_Click();
        QVERIFY(p.messages.texts().last().startsWith(QStringLiteral("\"lakes.ard\" is not the test these results belong to")));
        QCOMPARE(w->items()->index(1, ItemAnalysisModel::RightAnswer).data().toString(), QStringLiteral("True"));
        w->close();
    }

    void theWaysIn()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        writeClass(dir.path());
        frmCreate editor;
        QStringList tools;
        for (QAction *a : editor.findChild<QMenu *>(QStringLiteral("mnuToolS"))->actions())
            tools << a->objectName();
        QCOMPARE(tools.mid(0, 2), QStringList({"mnuToolScore", "mnuToolClass"}));

        const auto openClasses = [] {
            QList<frmClass *> out;
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *c = qobject_cast<frmClass *>(w); c && c->isVisible())
                    out << c;
            return out;
        };
        struct Case {
            const char *what;
            QStringList arguments;
            int classRows;   // -1: no class window
        };
        const QString ann = dir.filePath(QStringLiteral("Rivers - Ann.log"));
        const QString ben = dir.filePath(QStringLiteral("Rivers - Ben.log"));
        const Case cases[] = {
            {"two logs", {ann, ben}, 2},
            {"a folder", {dir.path()}, 4},
            {"one log: the viewer", {ann}, -1},
            {"a log and a name that is none", {ann, dir.filePath(QStringLiteral("notes.txt"))}, -1},
        };
        for (const Case &c : cases) {
            frmCreate w;
            runStartupWith(w, c.arguments);
            const QList<frmClass *> open = openClasses();
            QCOMPARE(open.size(), c.classRows < 0 ? 0 : 1);
            if (c.classRows >= 0)
                QCOMPARE(open.first()->table()->studentRows(), c.classRows);
            for (frmClass *o : open)
                delete o;
            if (frmLog *log = frmLog::instance())
                delete log;
        }

        frmLog *log = frmLog::showLog();
        log->findChild<QAction *>(QStringLiteral("mnuClass"))->trigger();
        QCOMPARE(openClasses().size(), 1);
        qDeleteAll(openClasses());
        delete log;
    }
};

QTEST_MAIN(TestFrmClass)
#include "test_frmclass.moc"
