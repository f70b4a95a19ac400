// The printed test read back from PDF: header, wrapping,
// pictures and page breaks, the key and the refusals.

#include "TestFiles.h"
#include "PdfProbe.h"
#include "pictures/PictureLoader.h"
#include "print/PrintSurface.h"
#include "print/PrintCommands.h"
#include "print/TestPrintout.h"
#include "document/QuestionRecord.h"
#include "document/TestDocument.h"
#include "TestDoubles.h"
#include "document/TestFile.h"

#include <QtTest>

namespace {
QString mc(const QString &q, const QString &media = "none", int correct = 1)
{
    return QuestionRecord::multipleChoice("m", q, "London", "Paris", "Rome", "Madrid", media, correct);
}
QString tf(const QString &q, const QString &media = "none", int answer = 0)
{
    return QuestionRecord::trueFalse("t", q, media, answer);
}
TestDocument makeDoc(const QStringList &records)
{
    TestDocument doc;
    for (const QString &r : records)
        doc.append(r);
    return doc;
}

// A solid picture whose size on paper is wMm x hMm (100 dots per inch).
void writeBmp(const QString &path, double wMm, double hMm, QColor color = Qt::red)
{
    const double dpm = 100 / 0.0254;
    QImage img(qRound(wMm * dpm / 1000), qRound(hMm * dpm / 1000), QImage::Format_RGB32);
    img.fill(color);
    img.setDotsPerMeterX(qRound(dpm));
    img.setDotsPerMeterY(qRound(dpm));
    img.save(path, "BMP");
}

constexpr double kMargin = 6.35;   // the PDF page's unprintable border, mm
int px(double mm) { return qRound((mm + kMargin) * 10); }   // at 254 dpi
bool isBlue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 80; }
}

class TestPrinting : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_oldCwd;

    QString pdf(const QString &name) const { return m_dir.filePath(name); }
    // The page's lines with their exact blanks, column 0 at the 10 mm margin.
    QStringList pageLines(const QString &name, int page = 1) const
    {
        return PdfProbe::fixedPitchLines(pdf(name), page, kMargin + 10);
    }
    // Prints into a PDF, answering the key question; the other messages shown.
    QStringList print(const TestDocument &doc, const QString &name, bool key)
    {
        ScopedPlatform platform;
        platform.messages.answers.enqueue(key ? MsgResult::Yes : MsgResult::No);
        PrintCommands::printTestToPdfFile(pdf(name), doc, "World Capitals", "Geography 2 - Mr. Smith");
        return platform.messages.texts().mid(1);
    }

private slots:
    void initTestCase()
    {
        if (!PdfProbe::available())
            QSKIP("poppler-utils (pdftotext, pdftoppm, pdfinfo) not installed: printouts cannot be read back");
        if (qEnvironmentVariableIsSet("ARDENO_KEEP_PRINTS")) {   // to look at them
            m_dir.setAutoRemove(false);
            qInfo("printouts kept in %s", qPrintable(m_dir.path()));
        }
        // Records name pictures by bare names, found through the working directory.
        m_oldCwd = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }

    void headerAndQuestions()
    {
        QCOMPARE(print(makeDoc({mc("What is the capital of France?"), tf("The Earth is flat.")}),
                       "basic.pdf", false),
                 QStringList());
        const QStringList text = pageLines("basic.pdf");
        QCOMPARE(text.value(0), "class/hour:" + QString(32, ' ') + "name:");
        QVERIFY(text.value(1).contains("World"));   // 12 points: not on the 8-point grid
        QCOMPARE(text.mid(2, 7), QStringList({"Geography 2 - Mr. Smith",
                                             "1.  What is the capital of France?", "  A.  London",
                                             "  B.  Paris", "  C.  Rome", "  D.  Madrid",
                                             "2.  The Earth is flat."}));
        QCOMPARE(PdfProbe::pageCount(pdf("basic.pdf")), 1);
        // A question with a sound, a tune or a video says so under its text.
        print(makeDoc({mc("Which bird sings?", "song.wav"), tf("This is a waltz.", "waltz.MID"),
                       mc("Which way does it turn?", "spin.mpg")}),
              "media.pdf", false);
        const QStringList media = pageLines("media.pdf");
        for (const char *line : {"    (This question has a sound.)", "    (This question has a tune.)",
                                 "    (This question has a video.)"})
            QVERIFY2(media.contains(QString::fromLatin1(line)), qPrintable(media.join('\n')));
        QCOMPARE(TestPrintout::mediaHint("map.bmp"), QString());
        QCOMPARE(TestPrintout::mediaHint("none"), QString());
        const QString fonts = PdfProbe::fonts(pdf("basic.pdf"));
        QVERIFY2(fonts.contains("LiberationMono ") && fonts.contains("LiberationMono-Bold"), qPrintable(fonts));

        // Two rules, each from 10 mm to 10 mm before the right edge.
        const QImage page = PdfProbe::pageImage(pdf("basic.pdf"), 1);
        int rules = 0;
        for (int y = px(10); y < px(50); ++y)
            rules += PdfProbe::isDark(page.pixel(px(100), y)) && !PdfProbe::isDark(page.pixel(px(100), y - 1))
                && PdfProbe::isDark(page.pixel(page.width() - px(10) - 3, y))
                && !PdfProbe::isDark(page.pixel(page.width() - px(10) + 10, y));
        QCOMPARE(rules, 2);
    }

    void wrapAt95Characters()
    {
        const QString text = QStringList(20, "abcdefghij").join(' ');
        const QStringList lines = TestPrintout::wrapQuestion(text, 1);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].size(), 103);   // "1.  " and 9 words with their blanks
        QCOMPARE(lines[1].size(), 99);
        QCOMPARE(lines[2].size(), 22);
        // One long word is never broken; what is left after it is empty.
        QCOMPARE(TestPrintout::wrapQuestion(QString(200, 'x'), 1),
                 QStringList({"1.  " + QString(200, 'x') + ' ', QString()}));
        QCOMPARE(TestPrintout::wrapQuestion("", 3), QStringList{"3.  "});
        QCOMPARE(TestPrintout::wrapQuestion("a  b", 12), QStringList{"12.  a  b "});

        print(makeDoc({tf(text)}), "wrap.pdf", false);
        const QStringList printed = pageLines("wrap.pdf");
        const int first = printed.indexOf(lines[0].chopped(1));
        QVERIFY2(first > 0, qPrintable(printed.join('\n')));
        QCOMPARE(printed.mid(first + 1, 2), QStringList({lines[1].chopped(1), lines[2].chopped(1)}));
    }

    void picturesAndTheirPageBreak()
    {
        writeBmp(pdf("small.bmp"), 30, 20, Qt::blue);
        writeBmp(pdf("tall.bmp"), 20, 180);
        QFile::copy(pdf("small.bmp"), pdf("tone.wav"));
        // Each picture stands under its question's text. Question 2's fits
        // on page 1; question 3's does not fit below it, so its text and
        // picture start page 2 together, the picture a line down; the
        // true/false one after it breaks again and stands 5 mm under its
        // text. Sounds and missing files print none.
        QCOMPARE(print(makeDoc({mc("Small?", "small.bmp"), mc("Tall one?", "tall.bmp"),
                                mc("Tall two?", "tall.bmp"), tf("Tall three?", "tall.bmp"),
                                mc("No file", "missing.bmp"), mc("A sound", "tone.wav")}),
                       "pictures.pdf", false),
                 QStringList());
        QCOMPARE(PdfProbe::pageCount(pdf("pictures.pdf")), 3);
        const QRect small = PdfProbe::bounds(PdfProbe::pageImage(pdf("pictures.pdf"), 1), isBlue);
        QVERIFY(qAbs(small.left() - px(10)) <= 2);
        QVERIFY2(qAbs(small.width() - 300) <= 3 && qAbs(small.height() - 200) <= 3,
                 qPrintable(QString("%1x%2").arg(small.width()).arg(small.height())));
        const QRect tall2 = PdfProbe::bounds(PdfProbe::pageImage(pdf("pictures.pdf"), 2), PdfProbe::isRed);
        QVERIFY2(tall2.top() > px(2) && tall2.top() < px(6) && qAbs(tall2.height() - 1800) <= 3,
                 qPrintable(QString::number(tall2.top())));
        QCOMPARE(pageLines("pictures.pdf", 2).value(0), QString("3.  Tall two?"));
        const QImage p3 = PdfProbe::pageImage(pdf("pictures.pdf"), 3);
        const QRect tall3 = PdfProbe::bounds(p3, PdfProbe::isRed);
        QVERIFY2(tall3.top() > px(7) && tall3.top() < px(11), qPrintable(QString::number(tall3.top())));
        QCOMPARE(pageLines("pictures.pdf", 3).value(0), QString("4.  Tall three?"));
        QVERIFY(PdfProbe::bounds(p3, PdfProbe::isRed, QRect(0, tall3.bottom() + 5, p3.width(), p3.height())).isNull());
        const QStringList page3 = pageLines("pictures.pdf", 3);
        QVERIFY(page3.contains("5.  No file") && page3.contains("6.  A sound"));
    }

    void paperLosesNothingOfABigPictureOrALongAnswer()
    {
        // 400 x 600 mm is far larger than A4's printable area: shrunk to fit
        // between the margins and under its question's text, proportions
        // kept, on a page of its own with that text.
        writeBmp(pdf("poster.bmp"), 400, 600);
        QStringList words;
        for (int i = 1; i <= 40; ++i)
            words << QString("word%1").arg(i);
        const QString answer = words.join(' ');   // about 280 characters
        const QString record = QuestionRecord::multipleChoice("m", "Poster?", answer, "Paris", "Rome",
                                                              "Madrid", "poster.bmp", 1);
        QCOMPARE(print(makeDoc({record}), "big.pdf", false), QStringList());
        const auto surface = PrintSurface::toPdf(pdf("unused.pdf"));
        surface->setFontName("courier new");
        surface->setFontSize(8);
        // The room under the question's line and the line a sound would have.
        const double width = surface->scaleWidth() - 20, height = surface->scaleHeight() - 2 * surface->textHeight() - 1;
        const double scale = std::min(width / 400, height / 600);
        const QRect poster = PdfProbe::bounds(PdfProbe::pageImage(pdf("big.pdf"), 2), PdfProbe::isRed);
        QVERIFY2(qAbs(poster.left() - px(10)) <= 2 && poster.top() > px(2) && poster.top() < px(6),
                 qPrintable(QString("%1,%2").arg(poster.left()).arg(poster.top())));
        QCOMPARE(pageLines("big.pdf", 2).value(0), QString("1.  Poster?"));
        QVERIFY2(qAbs(poster.width() - 4000 * scale) <= 3 && qAbs(poster.height() - 6000 * scale) <= 3,
                 qPrintable(QString("%1x%2").arg(poster.width()).arg(poster.height())));

        // The answer continues below itself, indented under its text, within
        // the right margin; every word is there once, in order.
        QStringList lines;
        for (int page = 2; page <= PdfProbe::pageCount(pdf("big.pdf")); ++page)
            lines += pageLines("big.pdf", page);
        const qsizetype first = lines.indexOf(QRegularExpression("^  A\\.  word1 .*"));
        QVERIFY2(first >= 0, qPrintable(lines.join('\n')));
        const int columns = int(width / surface->textWidth("x"));
        QString joined = lines[first].mid(6);
        qsizetype i = first + 1;
        for (; i < lines.size() && lines[i].startsWith("      w"); ++i)
            joined += ' ' + lines[i].mid(6);
        QCOMPARE(joined, answer);
        QVERIFY(i - first >= 3);
        QCOMPARE(lines.value(i), QString("  B.  Paris"));
        for (qsizetype k = first; k < i; ++k)
            QVERIFY2(lines[k].size() <= columns, qPrintable(lines[k]));
    }

    void keyLines()
    {
        QCOMPARE(TestPrintout::keyLine(mc("Capital?"), 1), QString(" 1.      B.  Paris"));
        QCOMPARE(TestPrintout::keyLine(tf("Flat?", "none", 1), 12), QString(" 12.      False"));
        // Trimmed after joining; an index out of range is printed as read;
        // the kind is known by the number of fields; other shapes get no answer.
        QCOMPARE(TestPrintout::keyAnswer(record({"m", "q", "a", "b", "c", "  dd  ", "none", "3"})), QString("D.    dd"));
        QCOMPARE(TestPrintout::keyAnswer(record({"m", "q", "a", "b", "c", "d", "none", " 7"})), QString("7"));
        QCOMPARE(TestPrintout::keyAnswer(record({"x", "q", "none", " 0 "})), QString("True"));
        QCOMPARE(TestPrintout::keyLine(record({"m", "q", "a"}), 3), QString(" 3.      "));

        QStringList records;
        for (int i = 1; i <= 10; ++i)
            records << mc(QString("Question %1").arg(i));
        QCOMPARE(print(makeDoc(records), "key.pdf", true), QStringList());
        QCOMPARE(PdfProbe::pageCount(pdf("key.pdf")), 2);
        const QStringList key = pageLines("key.pdf", 2);
        // The answers stand in one column, from question 1 to question 10.
        QCOMPARE(key.size(), 11);
        QCOMPARE(key[0], QString("Key for World Capitals"));
        QCOMPARE(key[1], QString(" 1.       B.  Paris"));
        QCOMPARE(key[10], QString(" 10.      B.  Paris"));
    }

    void refusalsAndFailures()
    {
        const TestDocument doc = makeDoc({tf("q")});
        ScopedPlatform platform;
        QVERIFY(!PrintCommands::printTestToPdfFile(pdf("r1.pdf"), doc, "Title", ""));
        QVERIFY(!PrintCommands::printTestToPdfFile(pdf("r2.pdf"), doc, "", "Teacher"));
        QVERIFY(!PrintCommands::printTestToPdfFile(pdf("r3.pdf"), makeDoc({}), "Title", "Teacher"));
        QCOMPARE(platform.messages.texts(),
                 QStringList({"Please fill in all fields before attempting to print this test.",
                              "Please fill in all fields before attempting to print this test.",
                              "There are no questions in this test."}));
        QCOMPARE(platform.messages.shown[2].icon, MsgIcon::Critical);
        QVERIFY(!QFile::exists(pdf("r1.pdf")) && !QFile::exists(pdf("r3.pdf")));
        // Blanks count as filled; the key question comes first.
        platform.messages.clear();
        QVERIFY(PrintCommands::printTestToPdfFile(pdf("r4.pdf"), doc, " ", " "));
        QCOMPARE(platform.messages.shown.size(), 1);
        QCOMPARE(platform.messages.shown[0].icon, MsgIcon::Question);

        // No printer at all: said once, with a PDF file offered instead.
        const QString noPrinterOffer = "There is no printer set up on this computer.\r\n\r\nSave it as a PDF file instead? You can print the file later, or on another computer.";
        platform.messages.clear();
        PrintSurface::setDefaultPrinterOverride(QString());
        platform.messages.answers.enqueue(MsgResult::No);
        PrintCommands::printTest(nullptr, doc, "T", "C");
        platform.messages.answers.enqueue(MsgResult::Yes);
        platform.dialogs.answer(pdf("instead.pdf"));
        PrintCommands::printTest(nullptr, doc, "T", "C");
        PrintSurface::clearDefaultPrinterOverride();
        QCOMPARE(platform.messages.texts(),
                 QStringList({noPrinterOffer, noPrinterOffer, "Would you like to print a key also?"}));
        QCOMPARE(platform.messages.shown[0].icon, MsgIcon::Question);
        QVERIFY(QFileInfo(pdf("instead.pdf")).size() > 0);

        // A PDF that cannot be written.
        const QStringList noPrinter{"Would you like to print a key also?", "Error initializing printer!",
                                    "There has been an error in printing this test."};
        platform.messages.clear();
        QVERIFY(!PrintCommands::printTestToPdfFile("/nonexistent/dir/x.pdf", doc, "T", "C"));
        QCOMPARE(platform.messages.texts(),
                 QStringList({noPrinter[0], noPrinter[1] + "\n\n/nonexistent/dir/x.pdf: No such file or directory",
                              noPrinter[2]}));

        // A picture that cannot be loaded ends the printout; no PDF is left.
        writeBytes(pdf("broken.bmp"), "BM not a bitmap");
        QCOMPARE(print(makeDoc({tf("ok"), mc("q", "broken.bmp"), tf("never")}), "broken.pdf", true),
                 QStringList{"There has been an error in printing this test."});
        QVERIFY(!QFile::exists(pdf("broken.pdf")));
        QVERIFY(!QGuiApplication::overrideCursor());   // the hourglass is gone again
    }

};

QTEST_MAIN(TestPrinting)
#include "test_testprintout.moc"
