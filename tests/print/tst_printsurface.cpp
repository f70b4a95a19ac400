// The print surface's page flow, the score sheet, and one printout through
// a real CUPS server with a PDF printer as the default printer.

#include "PdfProbe.h"
#include "PrintScore.h"
#include "PrintSurface.h"
#include "PrintTest.h"
#include "QuestionRecord.h"
#include "TestDocument.h"
#include "TestDoubles.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QtTest>

class TestPrintSurface : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        if (!PdfProbe::available())
            QSKIP("poppler-utils not installed: printouts cannot be read back");
    }

    void linesThatDoNotFitGoToANewPage()
    {
        const QString path = m_dir.filePath("flow.pdf");
        auto p = PrintSurface::toPdf(path);
        QVERIFY(!p->isOpen());
        const double lh = p->textHeight();
        QVERIFY(lh > 3 && lh < 6);   // 10-point Arial
        const int perPage = int(p->scaleHeight() / lh);
        for (int i = 1; i <= perPage + 1; ++i)
            QVERIFY(p->print(QString("line %1").arg(i)));
        QCOMPARE(p->pageCount(), 2);
        // The line that did not fit stands at the top of the new page.
        QVERIFY(qAbs(p->currentY() - lh) < 1e-6);
        // Line ends inside a text start new lines; without a line end x moves on.
        QVERIFY(p->print("a\r\nb\nc", false));
        QVERIFY(qAbs(p->currentY() - 3 * lh) < 1e-6);
        QVERIFY(p->currentX() > 0);
        QVERIFY(p->endDoc());
        QCOMPARE(PdfProbe::pageCount(path), 2);
        const QString page2 = PdfProbe::pageText(path, 2);
        QVERIFY(page2.trimmed().startsWith(QString("line %1").arg(perPage + 1)));
        QVERIFY(QRegularExpression("a\\s+b\\s+c").match(page2).hasMatch());
    }

    void cancelledJobLeavesNoFile()
    {
        const QString path = m_dir.filePath("killed.pdf");
        {
            auto p = PrintSurface::toPdf(path);
            QVERIFY(p->print("x"));
        }   // never ended
        QVERIFY(!QFile::exists(path));
    }

    void scoreSheet()
    {
        QCOMPARE(scoreSheetLine(7, 10, 70, "1 minutes and 35 seconds", "12/6/2026"),
                 QString("Score 7 of 10.  70%   Time spent 1 minutes and 35 seconds.  Test date:  12/6/2026"));
        const QString path = m_dir.filePath("score.pdf");
        PrintSurface::setDefaultPrinterOverride(path);
        {
            ScopedPlatform platform;
            QVERIFY(PrintScore("Student Name", "Test Name.....Teacher", "Score 2 of 3."));
            QVERIFY(platform.messages.shown.isEmpty());
        }
        // An empty line, then the three lines at the left of the page.
        QCOMPARE(PdfProbe::run("pdftotext", {path, "-"}).split('\n', Qt::SkipEmptyParts).mid(0, 3),
                 QStringList({"Student Name", "Test Name.....Teacher", "Score 2 of 3."}));
        const QRect ink = PdfProbe::bounds(PdfProbe::pageImage(path, 1), PdfProbe::isDark);
        QVERIFY2(ink.top() > 63 + 35 && ink.left() < 63 + 10, qPrintable(QString::number(ink.top())));

        PrintSurface::setDefaultPrinterOverride(QString());
        {
            ScopedPlatform platform;
            QVERIFY(!PrintScore("a", "b", "c"));
            QCOMPARE(platform.messages.texts(), QStringList{"There was an error printing the quiz score."});
            QCOMPARE(platform.messages.shown[0].icon, MsgIcon::Critical);
        }
        PrintSurface::clearDefaultPrinterOverride();
    }

    void printsThroughCups()
    {
        if (qEnvironmentVariable("ARDENO_TEST_CUPS") != "1")
            QSKIP("no CUPS test server with a PDF printer (scripts/run-tests.sh starts one when run as root)");
        const QString outDir = qEnvironmentVariable("ARDENO_TEST_CUPS_OUT");
        QVERIFY(!outDir.isEmpty());   // CUPS-PDF makes the folder on its first job
        QVERIFY2(!PrintSurface::defaultPrinterName().isEmpty(), "CUPS has no default printer");

        QImage img(200, 100, QImage::Format_RGB32);
        img.fill(Qt::red);
        img.save(m_dir.filePath("cups.bmp"), "BMP");
        TestDocument doc;
        doc.append(QuestionRecord::multipleChoice("m", "Capital?", "London", "Paris", "Rome",
                                                  "Madrid", m_dir.filePath("cups.bmp"), 1));
        doc.append(QuestionRecord::trueFalse("t", "Flat?", "none", 1));

        QSet<QString> before;
        for (QDirIterator it(outDir, {"*.pdf"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            before.insert(it.next());
        {
            ScopedPlatform platform;   // key: Yes
            PrintCommands::printTest(nullptr, doc, "Cups Test", "Teacher");
            QCOMPARE(platform.messages.texts(), QStringList{"Would you like to print a key also?"});
        }
        // CUPS-PDF writes the file a moment after the job: wait for a new,
        // complete PDF.
        QString arrived;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000 && arrived.isEmpty()) {
            QThread::msleep(200);
            for (QDirIterator it(outDir, {"*.pdf"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
                const QString f = it.next();
                if (!before.contains(f) && PdfProbe::pageCount(f) > 0)
                    arrived = f;
            }
        }
        QVERIFY2(!arrived.isEmpty(), "no PDF arrived from the CUPS-PDF printer");
        // The file is ours to remove: the folder is the user's own.
        const auto cleanup = qScopeGuard([&] { QFile::remove(arrived); });
        // Re-made by Ghostscript: the text is not reliable, pages and pictures are.
        QCOMPARE(PdfProbe::pageCount(arrived), 2);
        const QImage page1 = PdfProbe::pageImage(arrived, 1, 72);
        QVERIFY(!PdfProbe::bounds(page1, PdfProbe::isRed).isNull());
        QVERIFY(!PdfProbe::bounds(page1, PdfProbe::isDark).isNull());
    }
};

QTEST_MAIN(TestPrintSurface)
#include "tst_printsurface.moc"
