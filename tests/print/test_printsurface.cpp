// The print surface's page flow and one printout through
// a real CUPS server with a PDF printer as the default printer.

#include "TestFiles.h"
#include "PdfProbe.h"
#include "print/ScoreSheetPrintout.h"
#include "print/PrintSurface.h"
#include "print/PrintCommands.h"
#include "document/QuestionRecord.h"
#include "document/TestDocument.h"
#include "TestDoubles.h"

#include <QDirIterator>
#include <QtTest>

class TestPrintSurface : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    static QStringList words(const QString &pdf, int page)
    {
        return PdfProbe::run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"})
            .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        if (!PdfProbe::available())
            QSKIP("poppler-utils not installed: printouts cannot be read back");
    }

    void pageFlow()
    {
        const QString path = m_dir.filePath("flow.pdf");
        auto p = PrintSurface::toPdf(path);
        const double lh = p->textHeight();
        const int perPage = int(p->scaleHeight() / lh);
        for (int i = 1; i <= perPage + 1; ++i)
            QVERIFY(p->print(QString("line%1").arg(i)));
        // The line that did not fit stands at the top of a new page.
        QCOMPARE(p->pageCount(), 2);
        QVERIFY(qAbs(p->currentY() - lh) < 1e-6);
        // Line ends inside a text start new lines; without a line end x moves on.
        QVERIFY(p->print("a\r\nb\nc", false));
        QVERIFY(qAbs(p->currentY() - 3 * lh) < 1e-6 && p->currentX() > 0);
        QVERIFY(p->endDoc());
        QCOMPARE(words(path, 2), QStringList({QString("line%1").arg(perPage + 1), "a", "b", "c"}));

        // A job that is never ended leaves no file, and the PDF of that name
        // as it was.
        const QByteArray before = readBytes(path);
        p = PrintSurface::toPdf(path);
        QVERIFY(p->print("x"));
        p.reset();
        QCOMPARE(readBytes(path), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"flow.pdf"});
    }

    void printsThroughCups()
    {
        if (qEnvironmentVariable("ARDENO_TEST_CUPS") != "1")
            QSKIP("no CUPS test server with a PDF printer (scripts/run-tests.sh starts one when run as root)");
        const QString outDir = qEnvironmentVariable("ARDENO_TEST_CUPS_OUT");
        QVERIFY2(!PrintSurface::defaultPrinterName().isEmpty(), "CUPS has no default printer");
        QImage img(200, 100, QImage::Format_RGB32);
        img.fill(Qt::red);
        img.save(m_dir.filePath("cups.bmp"), "BMP");
        TestDocument doc;
        doc.append(QuestionRecord::multipleChoice("m", "Capital?", "London", "Paris", "Rome", "Madrid",
                                                  m_dir.filePath("cups.bmp"), 1));
        doc.append(QuestionRecord::trueFalse("t", "Flat?", "none", 1));

        const auto pdfs = [&] {
            QSet<QString> files;   // CUPS-PDF makes the folder on its first job
            for (QDirIterator it(outDir, {"*.pdf"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
                files.insert(it.next());
            return files;
        };
        const QSet<QString> before = pdfs();
        ScopedPlatform platform;   // the key: Yes
        PrintCommands::printTest(nullptr, doc, "Cups Test", "Teacher");
        QCOMPARE(platform.messages.texts(), QStringList{"Would you like to print a key also?"});
        // CUPS-PDF writes the file a moment after the job.
        QString arrived;
        const auto gotPdf = [&] {
            for (const QString &f : pdfs() - before)
                if (PdfProbe::pageCount(f) > 0)
                    arrived = f;
            return !arrived.isEmpty();
        };
        QTRY_VERIFY_WITH_TIMEOUT(gotPdf(), 30000);
        const auto cleanup = qScopeGuard([&] { QFile::remove(arrived); });   // ours to remove
        // Re-made by Ghostscript: the text is not reliable, pages and pictures are.
        QCOMPARE(PdfProbe::pageCount(arrived), 2);
        const QImage page1 = PdfProbe::pageImage(arrived, 1, 72);
        QVERIFY(!PdfProbe::bounds(page1, PdfProbe::isRed).isNull());
        QVERIFY(!PdfProbe::bounds(page1, PdfProbe::isDark).isNull());
    }
};

QTEST_MAIN(TestPrintSurface)
#include "test_printsurface.moc"
