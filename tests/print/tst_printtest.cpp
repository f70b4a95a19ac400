// The printed test read back from PDF: header, wrapping, tick boxes,
// pictures and page breaks, the key, skipped records and the refusals.

#include "PdfProbe.h"
#include "PrintSurface.h"
#include "PrintTest.h"
#include "QuestionRecord.h"
#include "TestDocument.h"
#include "TestDoubles.h"
#include "TestFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString mc(const QString &q, const QString &a, const QString &b, const QString &c,
           const QString &d, const QString &media, int correct)
{
    return QuestionRecord::multipleChoice("m", q, a, b, c, d, media, correct);
}
QString tf(const QString &q, const QString &media, int answer)
{
    return QuestionRecord::trueFalse("t", q, media, answer);
}

TestDocument makeDoc(const QStringList &records)
{
    TestDocument doc;
    doc.NextQuestionNumber = 1;
    for (const QString &r : records)
        doc.append(r);
    return doc;
}

// A solid picture of natural size wMm x hMm at 100 dots per inch.
QString writeBmp(const QString &path, double wMm, double hMm, QColor color = Qt::red)
{
    const double dpm = 100 / 0.0254;
    QImage img(qRound(wMm * dpm / 1000), qRound(hMm * dpm / 1000), QImage::Format_RGB32);
    img.fill(color);
    img.setDotsPerMeterX(qRound(dpm));
    img.setDotsPerMeterY(qRound(dpm));
    img.save(path, "BMP");
    return path;
}

constexpr double kMargin = 6.35;   // the PDF page's unprintable border, mm
int px(double mm) { return qRound((mm + kMargin) * 10); }   // at 254 dpi
}

class TestPrinting : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_oldCwd;

    QString pdf(const QString &name) const { return m_dir.filePath(name); }
    // The page's lines with their exact blanks, column 0 at the 10 mm margin.
    QStringList pageLines(const QString &pdfName, int page = 1) const
    {
        return PdfProbe::fixedPitchLines(pdf(pdfName), page, kMargin + 10);
    }

    // Prints doc into a PDF, answering the key question; the messages shown.
    QStringList print(const TestDocument &doc, const QString &pdfName, bool key,
                      const QString &title = "World Capitals",
                      const QString &teacher = "Geography 2 - Mr. Smith")
    {
        ScopedPlatform platform;
        platform.messages.answers.enqueue(key ? MsgResult::Yes : MsgResult::No);
        PrintCommands::printTestToPdfFile(pdf(pdfName), doc, title, teacher);
        QStringList texts = platform.messages.texts();
        if (!texts.isEmpty() && texts.first() == "Would you like to print a key also?")
            texts.removeFirst();
        return texts;
    }

private slots:
    void initTestCase()
    {
        if (!PdfProbe::available())
            QSKIP("poppler-utils (pdftotext, pdftoppm, pdfinfo) not installed: printouts cannot be read back");
        QVERIFY(m_dir.isValid());
        // ARDENO_KEEP_PRINTS=1 keeps the PDFs for a look.
        if (qEnvironmentVariableIsSet("ARDENO_KEEP_PRINTS")) {
            m_dir.setAutoRemove(false);
            qInfo("printouts kept in %s", qPrintable(m_dir.path()));
        }
        // Pictures are named as records hold them after a save: bare names
        // beside the test, found through the working directory.
        m_oldCwd = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }

    void courierNewIsAFixedPitchFont()
    {
        // The 95-character lines and the tick boxes assume Courier New's pitch.
        QFont f("courier new");
        QVERIFY2(QFontInfo(f).fixedPitch(), qPrintable(QFontInfo(f).family()));
    }

    void headerAndQuestions()
    {
        const TestDocument doc = makeDoc({mc("What is the capital of France?", "London", "Paris",
                                             "Rome", "Madrid", "none", 1),
                                          tf("The Earth is flat.", "none", 1)});
        QCOMPARE(print(doc, "basic.pdf", false), QStringList());
        const QStringList text = pageLines("basic.pdf");
        QCOMPARE(text.value(0), "class/hour:" + QString(32, ' ') + "name:");
        QVERIFY(text.value(1).contains("World"));   // 12 points: other columns
        QCOMPARE(text.value(2), QString("Geography 2 - Mr. Smith"));
        QCOMPARE(text.mid(3, 6), QStringList({"1.  What is the capital of France?", "  A.  London",
                                             "  B.  Paris", "  C.  Rome", "  D.  Madrid",
                                             "2.  The Earth is flat."}));
        QVERIFY(!PdfProbe::text(pdf("basic.pdf")).contains("Key for"));
        QCOMPARE(PdfProbe::pageCount(pdf("basic.pdf")), 1);
        const QString fonts = PdfProbe::fonts(pdf("basic.pdf"));
        QVERIFY2(fonts.contains("Mono") || fonts.contains("Courier"), qPrintable(fonts));
        QVERIFY2(fonts.contains("Bold"), qPrintable(fonts));   // the 12-point title

        // The two rules span the page 10 mm in from each side, 2 dots thick.
        const QImage page = PdfProbe::pageImage(pdf("basic.pdf"), 1);
        const int y = page.height() / 5;
        int rules = 0;
        for (int row = px(10); row < y; ++row)
            if (PdfProbe::isDark(page.pixel(px(100), row))
                && PdfProbe::isDark(page.pixel(page.width() - px(10) - 3, row))
                && !PdfProbe::isDark(page.pixel(page.width() - px(10) + 10, row))
                && (row == 0 || !PdfProbe::isDark(page.pixel(px(100), row - 1))))
                ++rules;
        QCOMPARE(rules, 2);
    }

    void wrapAt95Characters()
    {
        const QString word10 = "abcdefghij";
        const QStringList words(20, word10);
        QStringList lines = TestPrintout::wrapQuestion(words.join(' '), 1);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].size(), 103);   // "1.  " and 9 words with their blanks
        QCOMPARE(lines[1].size(), 99);    // 9 words
        QCOMPARE(lines[2], word10 + ' ' + word10 + ' ');
        QVERIFY(lines[0].startsWith("1.  abcdefghij "));

        // One long word is never broken; what is left after it is empty.
        lines = TestPrintout::wrapQuestion(QString(200, 'x'), 1);
        QCOMPARE(lines, QStringList({"1.  " + QString(200, 'x') + ' ', QString()}));
        QCOMPARE(TestPrintout::wrapQuestion("", 3), QStringList{"3.  "});
        // Two blanks make an empty word: both blanks stay.
        QCOMPARE(TestPrintout::wrapQuestion("a  b", 12), QStringList{"12.  a  b "});

        const TestDocument doc = makeDoc({tf(words.join(' '), "none", 0)});
        print(doc, "wrap.pdf", false);
        const QStringList printed = pageLines("wrap.pdf");
        const QStringList wrapped = TestPrintout::wrapQuestion(words.join(' '), 1);
        const int first = printed.indexOf(wrapped[0].chopped(1));
        QVERIFY2(first > 0, qPrintable(printed.join('\n')));
        QCOMPARE(printed.value(first + 1), wrapped[1].chopped(1));
        QCOMPARE(printed.value(first + 2), wrapped[2].chopped(1));
    }

    void tickBoxesStandAt13And28Millimetres()
    {
        const TestDocument doc = makeDoc({tf("Water boils at 100 degrees.", "none", 0)});
        print(doc, "tf.pdf", false);
        QVERIFY(PdfProbe::text(pdf("tf.pdf")).contains(QRegularExpression("True +False")));
        const QImage page = PdfProbe::pageImage(pdf("tf.pdf"), 1);

        // The boxes: 2 mm squares whose left edges are at 13 and 28 mm.
        // Its left edge is the one tall dark stroke near 13 mm.
        int top = -1;
        for (int y = px(30); y < page.height() / 2 && top < 0; ++y)
            for (int x = px(13) - 2; x <= px(13) + 2 && top < 0; ++x) {
                int run = 0;
                while (run < 15 && PdfProbe::isInk(page.pixel(x, y + run)))
                    ++run;
                if (run >= 15)
                    top = y;
            }
        QVERIFY(top > 0);
        const QRect box1 = PdfProbe::bounds(page, PdfProbe::isInk, QRect(px(12), top - 3, 40, 30));
        QVERIFY2(qAbs(box1.left() - px(13)) <= 2, qPrintable(QString::number(box1.left())));
        QVERIFY2(qAbs(box1.width() - 20) <= 3 && qAbs(box1.height() - 20) <= 3,
                 qPrintable(QString("%1x%2").arg(box1.width()).arg(box1.height())));
        const QRect box2 = PdfProbe::bounds(page, PdfProbe::isInk,
                                            QRect(px(27), box1.top(), 40, box1.height()));
        QVERIFY2(qAbs(box2.left() - px(28)) <= 2, qPrintable(QString::number(box2.left())));
        QCOMPARE(box2.top(), box1.top());

        // "True" begins at 17 mm and "False" at 32 mm, on the boxes' line.
        const QRect band(0, box1.top() - 15, page.width(), box1.height() + 30);
        const QRect trueText = PdfProbe::bounds(page, PdfProbe::isDark,
                                                QRect(px(15.5), band.top(), px(27) - px(15.5) - 5, band.height()));
        QVERIFY2(trueText.left() >= px(17) - 1 && trueText.left() <= px(17) + 5,
                 qPrintable(QString::number(trueText.left())));
        const QRect falseText = PdfProbe::bounds(page, PdfProbe::isDark,
                                                 QRect(px(31), band.top(), 200, band.height()));
        QVERIFY2(falseText.left() >= px(32) - 1 && falseText.left() <= px(32) + 5,
                 qPrintable(QString::number(falseText.left())));
    }

    void picturesAndTheirPageBreak()
    {
        writeBmp(m_dir.filePath("small.bmp"), 30, 20, Qt::blue);
        writeBmp(m_dir.filePath("tall.bmp"), 20, 180);
        // Question 1's picture fits below the header; question 3's picture
        // does not fit below question 2's, so it starts page 2 at y = 0; the
        // true/false picture after it also breaks and stands at y = 5.
        const TestDocument doc = makeDoc({mc("Small?", "a", "b", "c", "d", "small.bmp", 0),
                                          mc("Tall one?", "a", "b", "c", "d", "tall.bmp", 0),
                                          mc("Tall two?", "a", "b", "c", "d", "tall.bmp", 0),
                                          tf("Tall three?", "tall.bmp", 0),
                                          mc("No file", "a", "b", "c", "d", "missing.bmp", 0),
                                          mc("A sound", "a", "b", "c", "d", "tone.wav", 0)});
        QFile::copy(m_dir.filePath("small.bmp"), m_dir.filePath("tone.wav"));
        QCOMPARE(print(doc, "pictures.pdf", false), QStringList());
        QCOMPARE(PdfProbe::pageCount(pdf("pictures.pdf")), 3);

        const QImage p1 = PdfProbe::pageImage(pdf("pictures.pdf"), 1);
        const QRect small = PdfProbe::bounds(p1, [](QRgb c) { return qBlue(c) > 180 && qRed(c) < 80; });
        QVERIFY(qAbs(small.left() - px(10)) <= 2);
        QVERIFY2(qAbs(small.width() - 300) <= 3 && qAbs(small.height() - 200) <= 3,
                 qPrintable(QString("%1x%2").arg(small.width()).arg(small.height())));

        const QImage p2 = PdfProbe::pageImage(pdf("pictures.pdf"), 2);
        const QRect tall2 = PdfProbe::bounds(p2, PdfProbe::isRed);
        QVERIFY2(qAbs(tall2.top() - px(0)) <= 2, qPrintable(QString::number(tall2.top())));
        QVERIFY(qAbs(tall2.left() - px(10)) <= 2);
        QVERIFY(qAbs(tall2.height() - 1800) <= 3);
        QVERIFY(pageLines("pictures.pdf", 2).contains("3.  Tall two?"));

        const QImage p3 = PdfProbe::pageImage(pdf("pictures.pdf"), 3);
        const QRect tall3 = PdfProbe::bounds(p3, PdfProbe::isRed);
        QVERIFY2(qAbs(tall3.top() - px(5)) <= 2, qPrintable(QString::number(tall3.top())));
        const QStringList page3 = pageLines("pictures.pdf", 3);
        QVERIFY(page3.contains("4.  Tall three?"));
        QVERIFY(page3.contains("5.  No file"));
        QVERIFY(page3.contains("6.  A sound"));
        // Only the three bitmaps were drawn: nothing red below question 4.
        QCOMPARE(PdfProbe::bounds(p3, PdfProbe::isRed, QRect(0, tall3.bottom() + 5, p3.width(), p3.height())),
                 QRect());
    }

    void picturesAreFoundBesideTheTest()
    {
        QTemporaryDir testDir;
        writeBmp(testDir.filePath("map.bmp"), 10, 10);
        QFile::copy(testDir.filePath("map.bmp"), testDir.filePath("song.mid"));
        TestDocument doc = makeDoc({tf("q", "map.bmp", 0)});
        auto surface = PrintSurface::toPdf(pdf("unused.pdf"));
        // Not in the working directory: the test's folder, then the test file's.
        QCOMPARE(TestPrintout(*surface, doc, "T", "C").picturePath("map.bmp"), QString());
        doc.TestFolder = testDir.path() + "/";
        QCOMPARE(TestPrintout(*surface, doc, "T", "C").picturePath("map.bmp"), testDir.filePath("map.bmp"));
        doc.TestFolder.clear();
        doc.CurrentFile = testDir.filePath("t.ard");
        QCOMPARE(TestPrintout(*surface, doc, "T", "C").picturePath("map.bmp"), testDir.filePath("map.bmp"));
        // Decided by the text after the first full stop, letter case ignored.
        QCOMPARE(TestPrintout(*surface, doc, "T", "C").picturePath("song.mid"), QString());
        QCOMPARE(TestPrintout(*surface, doc, "T", "C").picturePath("none"), QString());
        QFile::copy(testDir.filePath("map.bmp"), testDir.filePath("MAP.JPEG.bmp"));
        QCOMPARE(TestPrintout(*surface, doc, "T", "C").picturePath("MAP.JPEG.bmp"), QString());
        QFile::copy(testDir.filePath("map.bmp"), testDir.filePath("Photo.JPEG"));
        QCOMPARE(TestPrintout(*surface, doc, "T", "C").picturePath("Photo.JPEG"), testDir.filePath("Photo.JPEG"));
    }

    void keyLines()
    {
        QCOMPARE(TestPrintout::keyLine(mc("Capital?", "London", "Paris", "Rome", "Madrid", "none", 1), 1),
                 QString(" 1.      B.  Paris"));
        QCOMPARE(TestPrintout::keyLine(tf("Flat?", "none", 1), 12), QString(" 12.      False"));
        QCOMPARE(TestPrintout::keyLine(tf("Round?", "none", 0), 2), QString(" 2.      True"));
        // Answers are trimmed; an index out of range is printed as read.
        QCOMPARE(TestPrintout::keyAnswer(mc("q", "a", "b", "c", "  dd  ", "none", 3)), QString("D.    dd"));
        QCOMPARE(TestPrintout::keyAnswer(QStringList({"m", "q", "a", "b", "c", "d", "none", " 7"}).join(QuestionRecord::FieldSeparator)),
                 QString("7"));
        // Known by the number of fields, not the letter; other shapes get no answer.
        QCOMPARE(TestPrintout::keyAnswer(QStringList({"x", "q", "none", " 1"}).join(QuestionRecord::FieldSeparator)),
                 QString("False"));
        QCOMPARE(TestPrintout::keyLine(QStringList({"m", "q", "a"}).join(QuestionRecord::FieldSeparator), 3),
                 QString(" 3.      "));

        QStringList records;
        for (int i = 0; i < 10; ++i)
            records << mc(QString("Question %1").arg(i + 1), "w", "Paris", "y", "z", "none", 1);
        const TestDocument doc = makeDoc(records);
        QCOMPARE(print(doc, "key.pdf", true), QStringList());
        QCOMPARE(PdfProbe::pageCount(pdf("key.pdf")), 2);
        const QStringList key = pageLines("key.pdf", 2);
        QCOMPARE(key.value(0), QString("Key for World Capitals"));
        QCOMPARE(key.value(1), QString(" 1.      B.  Paris"));
        // From question 10 on the answers start one column further right.
        QCOMPARE(key.value(10), QString(" 10.      B.  Paris"));
        QCOMPARE(key.size(), 11);
    }

    void skippedRecordsKeepTheirNumbers()
    {
        const QString sep(QuestionRecord::FieldSeparator);
        const TestDocument doc = makeDoc({mc("First", "a", "b", "c", "d", "none", 0),
                                          "x" + sep + "Unknown kind" + sep + "none" + sep + " 0",
                                          " m" + sep + "Blank first" + sep + "none" + sep + " 0",
                                          "m" + sep + "Too short" + sep + "a" + sep + "b",
                                          "T" + sep + "Short",
                                          tf("Last", "none", 0)});
        const QStringList shown = print(doc, "skipped.pdf", true);
        QCOMPARE(shown, QStringList({"Cannot print this multiple choice question.",
                                     "There was an error printing this true/false question."}));
        const QString text = pageLines("skipped.pdf").join('\n');
        QVERIFY(text.contains("1.  First"));
        QVERIFY(!text.contains("Unknown kind"));
        QVERIFY(!text.contains("Blank first"));
        QVERIFY(!text.contains("Too short"));
        QVERIFY(text.contains("6.  Last"));
        // The key has a line for every number, recognising by field count.
        const QStringList key = pageLines("skipped.pdf", 2);
        QCOMPARE(key.mid(1), QStringList({" 1.      A.  a", " 2.      True", " 3.      True",
                                         " 4.      b", " 5.", " 6.      True"}));
    }

    void refusalsPrintNothing()
    {
        const TestDocument doc = makeDoc({tf("q", "none", 0)});
        ScopedPlatform platform;
        QVERIFY(!PrintCommands::printTestToPdfFile(pdf("r1.pdf"), doc, "Title", ""));
        QVERIFY(!PrintCommands::printTestToPdfFile(pdf("r2.pdf"), doc, "", "Teacher"));
        QVERIFY(!PrintCommands::printTestToPdfFile(pdf("r3.pdf"), makeDoc({}), "Title", "Teacher"));
        QCOMPARE(platform.messages.texts(),
                 QStringList({"Please fill in all fields before attempting to print this test.",
                              "Please fill in all fields before attempting to print this test.",
                              "There are no questions in this test."}));
        for (const auto &m : platform.messages.shown) {
            QCOMPARE(m.icon, MsgIcon::Critical);
            QCOMPARE(m.title, QString("Ardenox"));
        }
        QVERIFY(!QFile::exists(pdf("r1.pdf")) && !QFile::exists(pdf("r2.pdf"))
                && !QFile::exists(pdf("r3.pdf")));
        // A text of blanks counts as filled.
        platform.messages.clear();
        QVERIFY(PrintCommands::printTestToPdfFile(pdf("r4.pdf"), doc, " ", " "));
        QCOMPARE(platform.messages.texts(), QStringList{"Would you like to print a key also?"});
        QCOMPARE(platform.messages.shown[0].icon, MsgIcon::Question);
        QCOMPARE(platform.messages.shown[0].buttons, MsgButtons::YesNo);
    }

    void failuresStopThePrintout()
    {
        // No default printer: asked about the key, then both messages.
        {
            ScopedPlatform platform;
            PrintSurface::setDefaultPrinterOverride(QString());
            PrintCommands::printTest(nullptr, makeDoc({tf("q", "none", 0)}), "T", "C");
            PrintSurface::clearDefaultPrinterOverride();
            QCOMPARE(platform.messages.texts(),
                     QStringList({"Would you like to print a key also?", "Error initializing printer!",
                                  "There has been an error in printing this test."}));
        }
        // A picture that cannot be loaded ends the printout; no PDF is left.
        {
            QFile bad(m_dir.filePath("broken.bmp"));
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write("BM this is not a bitmap");
            bad.close();
            const TestDocument doc = makeDoc({tf("ok", "none", 0),
                                              mc("q", "a", "b", "c", "d", "broken.bmp", 0),
                                              tf("never printed", "none", 0)});
            QCOMPARE(print(doc, "broken.pdf", true),
                     QStringList{"There has been an error in printing this test."});
            QVERIFY(!QFile::exists(pdf("broken.pdf")));
        }
        // A PDF that cannot be written is a printer that cannot be set up.
        {
            const TestDocument doc = makeDoc({tf("q", "none", 0)});
            ScopedPlatform platform;
            platform.messages.answers.enqueue(MsgResult::No);
            QVERIFY(!PrintCommands::printTestToPdfFile("/nonexistent/dir/x.pdf", doc, "T", "C"));
            QCOMPARE(platform.messages.texts().mid(1),
                     QStringList({"Error initializing printer!",
                                  "There has been an error in printing this test."}));
        }
    }

    void printToPdfAsksForTheFile()
    {
        ScopedPlatform platform;
        const TestDocument doc = makeDoc({tf("q", "none", 0)});
        // Refused before any dialog.
        PrintCommands::printTestToPdf(nullptr, doc, "", "C");
        QVERIFY(platform.dialogs.requests.isEmpty());
        // Cancelled: nothing asked, nothing written.
        platform.messages.clear();
        PrintCommands::printTestToPdf(nullptr, doc, "T", "C");
        QCOMPARE(platform.dialogs.requests.size(), 1);
        QCOMPARE(platform.dialogs.requests[0].mode, FileDialogRequest::Mode::Save);
        QCOMPARE(platform.dialogs.requests[0].defaultExt, QString("pdf"));
        QVERIFY(platform.messages.shown.isEmpty());
        // Chosen in another folder: pictures still resolve against the
        // working directory the test was opened from.
        QTemporaryDir other;
        writeBmp(m_dir.filePath("here.bmp"), 10, 10);
        platform.dialogs.answer(other.filePath("chosen.pdf"));
        PrintCommands::printTestToPdf(nullptr, makeDoc({tf("pic", "here.bmp", 0)}), "T", "C");
        QCOMPARE(QDir::currentPath(), QDir(m_dir.path()).canonicalPath());
        QVERIFY(!PdfProbe::bounds(PdfProbe::pageImage(other.filePath("chosen.pdf"), 1, 72),
                                  PdfProbe::isRed).isNull());
    }

    void toolPrintsATestFile()
    {
        QFile ard(m_dir.filePath("capitals.ard"));
        QVERIFY(ard.open(QIODevice::WriteOnly));
        ard.write(testFileBytes("World Capitals", "Mr. Smith",
                                {mc("Capital of France?", "London", "Paris", "Rome", "Madrid", "small.bmp", 1)}));
        ard.close();
        writeBmp(m_dir.filePath("small.bmp"), 30, 20);
        QTemporaryDir out;
        QProcess tool;
        tool.setWorkingDirectory(out.path());
        tool.start(ARDENO_TOOL, {"print", ard.fileName(), "out.pdf", "--key"});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(PdfProbe::pageCount(out.filePath("out.pdf")), 2);
        QCOMPARE(PdfProbe::fixedPitchLines(out.filePath("out.pdf"), 2, kMargin + 10).value(1),
                 QString(" 1.      B.  Paris"));
        QVERIFY(!PdfProbe::bounds(PdfProbe::pageImage(out.filePath("out.pdf"), 1, 72), PdfProbe::isRed).isNull());

        tool.start(ARDENO_TOOL, {"print", ard.fileName(), "nokey.pdf"});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(PdfProbe::pageCount(out.filePath("nokey.pdf")), 1);
        tool.start(ARDENO_TOOL, {"print", m_dir.filePath("missing.ard"), "x.pdf"});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 1);
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printtest.moc"
