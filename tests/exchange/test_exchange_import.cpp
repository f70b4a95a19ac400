// Hand-written files of each format, as teachers and other programs write
// them, and the files an import must refuse.
#include "exchange/ClassList.h"
#include "exchange/QuestionFormatRegistry.h"
#include "exchange/QuestionExport.h"
#include "exchange/QuestionImport.h"
#include "exchange/BankChoice.h"

#include "document/QuestionRecord.h"
#include "document/QuestionView.h"
#include "MediaBytes.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Readable failures: texts as text.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {
ReadResult readAs(const QString &format, const QByteArray &bytes)
{
    return QuestionFormatRegistry::instance().byShortName(format)->read(bytes, "questions." + format);
}

QString mc(const QString &q, const QStringList &a, int right, const QString &media = "none")
{
    return QuestionRecord::multipleChoice("m", q, a[0], a[1], a[2], a[3], media, right);
}

QString tf(const QString &q, int right, const QString &media = "none")
{
    return QuestionRecord::trueFalse("t", q, media, right);
}

// Imports a file into a test's media folder, as File > Import does.
ImportOutcome importFile(const QString &path, const QString &mediaFolder, int room = 100)
{
    ImportRequest request;
    request.path = path;
    request.mediaFolder = mediaFolder;
    request.room = room;
    return importQuestions(request);
}

QStringList records(const ReadResult &r)
{
    QStringList list;
    for (const ImportedQuestion &q : r.questions)
        list << q.record;
    return list;
}
}

TEST(ExchangeImportGift, EscapesCommentsTitlesMarkersAndTheKindsThatCannotCome)
{
    const QByteArray gift =
        "// A comment line\n"
        "$CATEGORY: $course$/Geography\n"
        "\n"
        "::Capital:: What is the capital of France? \\{really\\} {\n"
        "  =Paris#Right!\n"
        "  ~Lyon ~Nice\n"
        "  ~Marseille \\= big\n"
        "}\n"
        "\n"
        "::Essay:: Write about rivers. {}\n"
        "\n"
        "[html]<p>Is <b>Berlin</b> in Germany?</p><p>Think &amp; answer.</p>{T}\n"
        "\n"
        "// comment between questions\n"
        "Two plus two is five.{FALSE}\n"
        "\n"
        "Which are even? {~%50%2 ~%50%4 ~%-50%3 ~%-50%5}\n"
        "\n"
        "Match {=a -> 1 =b -> 2}\n"
        "\n"
        "Only three {=a ~b ~c}\n"
        "\n"
        "The answer\\: line\\nbreak and a back\\\\slash{TRUE}\n"
        "\n"
        "Moodle costs {~lots of money =nothing ~a little ~a lot} to download.\n";
    const ReadResult r = readAs("gift", gift);
    ASSERT_FALSE(r.report.failed()) << qPrintable(r.report.text());
    EXPECT_EQ(records(r), QStringList({mc("What is the capital of France? {really}", {"Paris", "Lyon", "Nice", "Marseille = big"}, 0),
                                       tf("Is Berlin in Germany?\r\nThink & answer.", 0),
                                       tf("Two plus two is five.", 1),
                                       tf("The answer: line\r\nbreak and a back\\slash", 0),
                                       mc("Moodle costs _____ to download.", {"lots of money", "nothing", "a little", "a lot"}, 1)}));
    EXPECT_EQ(r.report.skipped(),
              QStringList({"Line 10: an essay question cannot be carried; skipped.",
                           "Line 17: it gives partial credit, which a test cannot; skipped.",
                           "Line 19: a matching question cannot be carried; skipped.",
                           "Line 21: it has 3 answers; a test's multiple choice has exactly four; skipped."}));
    EXPECT_TRUE(r.report.notes().contains("Question names and titles were left out: a test has none."));
    EXPECT_TRUE(r.report.notes().contains("Feedback was left out: a test shows none."));
    EXPECT_TRUE(r.report.notes().contains("Question categories were left out: a test has none."));
    EXPECT_EQ(r.questions[1].line, 12);
}

// Hand-written banks as the learning platform reads them: its importer drops
// empty answers (so "~=" is a right answer), takes a format marker before an
// answer as a marker, and shows [moodle] (the default) and [html] texts as
// HTML, a "\n" being a line break only in [moodle] and [plain].
TEST(ExchangeImportGift, WhatTheLearningPlatformReads)
{
    const struct {
        const char *name;
        QByteArray gift;
        QString record;
    } cases[] = {
        {"right answer written ~=", "Capital of France? {\n~Lyon\n~=Paris\n~Nice\n~Marseille\n}\n",
         mc("Capital of France?", {"Lyon", "Paris", "Nice", "Marseille"}, 1)},
        {"empty answers dropped", "Q? {~ ~=a ~b ~ ~c ~d}\n", mc("Q?", {"a", "b", "c", "d"}, 0)},
        {"answer markers", "Q? {=[plain]<b>x</b> ~[html]<i>y</i> ~[moodle]z&amp;w ~[markdown]*v*}\n",
         mc("Q?", {"<b>x</b>", "y", "z&w", "*v*"}, 0)},
        {"a translator's leftover markup", "What is 2+2?<div id=\"gtx-trans\" style=\"position: absolute\"> </div>"
                                           "{=4 ~3 ~5 ~6}\n",
         mc("What is 2+2?", {"4", "3", "5", "6"}, 0)},
        {"line break in [moodle]", "one\\ntwo {T}\n", tf("one\r\ntwo", 0)},
        {"line break in [html]", "[html]one\\ntwo<br>three {T}\n", tf("one two\r\nthree", 0)},
        {"line break in [plain]", "[plain]<b>\\nc {F}\n", tf("<b>\r\nc", 1)},
        {"an answer's own weight", "Q? {~%100%a ~b ~c ~[plain]%5% d}\n", mc("Q?", {"a", "b", "c", "%5% d"}, 0)},
    };
    for (const auto &c : cases) {
        const ReadResult r = readAs("gift", c.gift);
        EXPECT_EQ(records(r), QStringList{c.record}) << c.name << ": " << qPrintable(r.report.text());
    }
}

TEST(ExchangeImportGift, CrLfBomAndWindows1252ReadTheSame)
{
    const QByteArray lf = "Caf\xC3\xA9 \xE2\x82\xAC?{T}\n\nNext {=a ~b ~c ~d}\n";
    QByteArray crlf = lf;
    crlf.replace("\n", "\r\n");
    const QByteArray bom = "\xEF\xBB\xBF" + crlf;
    const QByteArray cp1252 = "Caf\xE9 \x80?{T}\r\n\r\nNext {=a ~b ~c ~d}\r\n";
    const QStringList want = {tf("Caf\u00E9 \u20AC?", 0), mc("Next", {"a", "b", "c", "d"}, 0)};
    for (const QByteArray &bytes : {lf, crlf, bom, cp1252})
        EXPECT_EQ(records(readAs("gift", bytes)), want) << bytes.constData();
}

// The reader takes a file a megabyte at a time: a line end, a character of
// two bytes and a comment line cut by the part's end read as if whole, and
// the lines after them keep their numbers.
TEST(ExchangeImportGift, WhatAPartsEndCutsReadsAsIfWhole)
{
    constexpr int kPart = 1 << 20;
    // What comes before the cut (after "Caf" and padding), the cut, what
    // follows it, and the questions the whole holds.
    const struct {
        QByteArray before, cut, after;
        int questions;
    } cases[] = {
        {"{T}", "\r\n", "\r\n", 1},
        {"", "\xC3\xA9", "?{T}\n\n", 1},
        {"\n", "//", " a comment in the question\n{T}\n\nNext {F}\n", 2},
    };
    for (const auto &c : cases) {
        QByteArray bytes;
        while (bytes.size() < kPart - 200)
            bytes += "// filler " + QByteArray(60, 'x') + "\n";
        bytes += "\n";
        // The part ends one byte into the cut.
        const int pad = kPart - 1 - int(bytes.size()) - 3 - int(c.before.size());
        bytes += "Caf" + QByteArray(pad, 'e') + c.before + c.cut + c.after;
        ASSERT_EQ(bytes.mid(kPart - 1, 2), c.cut);
        const QByteArray whole = bytes;
        bytes += "\nLast {\n=a\n";
        const ReadResult r = readAs("gift", bytes);
        const int lastLine = int(bytes.left(bytes.indexOf("Last")).count('\n')) + 1;
        EXPECT_EQ(r.report.error(),
                  QStringLiteral("Line %1: the answers opened with \"{\" are not closed with \"}\".").arg(lastLine))
            << c.cut.toHex().constData();
        const ReadResult read = readAs("gift", whole);
        ASSERT_FALSE(read.report.failed()) << qPrintable(read.report.error());
        EXPECT_EQ(read.questions.size(), c.questions) << c.cut.toHex().constData();
        if (c.cut == "\xC3\xA9") {
            EXPECT_TRUE(QuestionView(read.questions.first().record).question().endsWith(QStringLiteral("\u00E9?")));
        }
    }
}

TEST(ExchangeImportGift, AnUnclosedBraceRefusesTheWholeFileWithItsLine)
{
    const ReadResult r = readAs("gift", "Fine {T}\n\nQ2 {\n=a\n~b\n\nQ3 {F}\n");
    EXPECT_TRUE(r.report.failed());
    EXPECT_EQ(r.report.error(), "Line 3: the answers opened with \"{\" are not closed with \"}\".");
    EXPECT_TRUE(r.questions.isEmpty());

    const ReadResult prose = readAs("gift", "Dear colleagues,\nhere are my notes.\n");
    EXPECT_TRUE(prose.report.error().contains("holds no GIFT question")) << qPrintable(prose.report.error());
    const ReadResult binary = readAs("gift", QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11));
    EXPECT_TRUE(binary.report.error().startsWith("Line 2:")) << qPrintable(binary.report.error());
}

TEST(ExchangeImportAiken, AnswersAndAnswerLinesInBothSpellings)
{
    const QByteArray aiken =
        "Which planet is the largest?\r\n"
        "A) Mars\r\n"
        "B) Jupiter\r\n"
        "C) Venus\r\n"
        "D. Earth\r\n"
        "ANSWER: B\r\n"
        "\r\n"
        "A question that runs\r\n"
        "over two lines\r\n"
        "A. one\r\nB. two\r\nC. three\r\nD. four\r\nanswer: d\r\n"
        "\r\n"
        "Five answers?\nA) 1\nB) 2\nC) 3\nD) 4\nE) 5\nANSWER: E\n\n"
        "Missing key\nA) 1\nB) 2\nC) 3\nD) 4\n\n"
        "Last\nA) w\nB) x\nC) y\nD) z\nANSWER: A\n";
    const ReadResult r = readAs("aiken", aiken);
    ASSERT_FALSE(r.report.failed()) << qPrintable(r.report.text());
    EXPECT_EQ(records(r), QStringList({mc("Which planet is the largest?", {"Mars", "Jupiter", "Venus", "Earth"}, 1),
                                       mc("A question that runs\r\nover two lines", {"one", "two", "three", "four"}, 3),
                                       mc("Last", {"w", "x", "y", "z"}, 0)}));
    EXPECT_EQ(r.report.skipped(),
              QStringList({"Line 16: it has 5 answers; a test's multiple choice has exactly four (A to D); skipped.",
                           "Line 24: its answers are not followed by an ANSWER: line; skipped."}));
    EXPECT_TRUE(readAs("aiken", "Just some text\nwithout any key\n").report.error().contains("holds no Aiken question"));
    // As the learning platform's importer: "A)text", "b.text" and lower case.
    EXPECT_EQ(records(readAs("aiken", "Largest planet?\na)Mars\nB.Jupiter\nc) Venus\nd.Earth\nANSWER: b\n")),
              QStringList{mc("Largest planet?", {"Mars", "Jupiter", "Venus", "Earth"}, 1)});
}

TEST(ExchangeImportMoodleXml, CdataEntitiesHtmlAndTheTypesThatCannotCome)
{
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<quiz>
  <question type="category"><category><text>$course$/Top</text></category></question>
  <question type="multichoice">
    <name><text>Q1</text></name>
    <questiontext format="html"><text><![CDATA[<p>Which is <em>not</em> a fruit?</p><p>Pick&nbsp;one &amp; only one.</p>]]></text></questiontext>
    <single>true</single>
    <answer fraction="0" format="html"><text>&amp;lt;Apple&amp;gt;</text><feedback><text>No</text></feedback></answer>
    <answer fraction="0.0000000"><text>Pear</text></answer>
    <answer fraction="100.0000000"><text><![CDATA[<p>Carrot</p>]]></text></answer>
    <answer fraction="0"><text>Plum</text></answer>
  </question>
  <question type="shortanswer"><questiontext format="html"><text>Name a colour</text></questiontext>
    <answer fraction="100"><text>red</text></answer></question>
  <question type="multichoice"><questiontext format="plain_text"><text>Several right</text></questiontext>
    <single>false</single>
    <answer fraction="50"><text>a</text></answer><answer fraction="50"><text>b</text></answer>
    <answer fraction="0"><text>c</text></answer><answer fraction="0"><text>d</text></answer></question>
  <question type="multichoice"><questiontext format="moodle_auto_format"><text>Partial &#8364;</text></questiontext>
    <single>true</single>
    <answer fraction="100"><text>a</text></answer><answer fraction="33.33333"><text>b</text></answer>
    <answer fraction="0"><text>c</text></answer><answer fraction="0"><text>d</text></answer></question>
  <question type="truefalse">
    <questiontext format="html"><text>&lt;p&gt;The Earth is flat.&lt;/p&gt;</text></questiontext>
    <answer fraction="0"><text>true</text></answer>
    <answer fraction="100"><text>false</text></answer>
  </question>
</quiz>
)";
    const ReadResult r = readAs("moodlexml", xml);
    ASSERT_FALSE(r.report.failed()) << qPrintable(r.report.text());
    EXPECT_EQ(records(r), QStringList({mc("Which is not a fruit?\r\nPick one & only one.", {"<Apple>", "Pear", "Carrot", "Plum"}, 2),
                                       tf("The Earth is flat.", 1)}));
    ASSERT_EQ(r.report.skipped().size(), 3);
    EXPECT_EQ(r.report.skipped()[0], "Line 13: a question of type \"shortanswer\" cannot be carried (only multiple "
                                     "choice with four answers and true/false); skipped.");
    EXPECT_EQ(r.report.skipped()[1], "Line 15: a multiple-choice question with several right answers cannot be "
                                     "carried; skipped.");
    EXPECT_EQ(r.report.skipped()[2], "Line 19: it gives partial credit, which a test cannot; skipped.");
    EXPECT_EQ(r.report.notes().size(), 3) << qPrintable(r.report.notes().join('\n'));
}

TEST(ExchangeImportMoodleXml, TruncatedOrForeignXmlIsRefusedWithItsLine)
{
    const ReadResult truncated = readAs("moodlexml", "<?xml version=\"1.0\"?>\n<quiz>\n<question type=\"truefalse\">\n"
                                                     "<questiontext><text>Half");
    EXPECT_TRUE(truncated.report.failed());
    EXPECT_TRUE(truncated.report.error().startsWith("Line 4: \"questions.moodlexml\" is not a complete Moodle XML file"))
        << qPrintable(truncated.report.error());
    EXPECT_TRUE(truncated.questions.isEmpty());

    const ReadResult html = readAs("moodlexml", "<html>\n<body>hi</body></html>");
    EXPECT_TRUE(html.report.error().contains("its outer element is <html>, not <quiz>")) << qPrintable(html.report.error());
    EXPECT_TRUE(readAs("moodlexml", "just text").report.failed());
}

// Markup built to hurt, of the size of a real question file: elements nested
// 60,000 deep inside one text (once a stack overflow), and texts of lone '<'
// and '&' (once read in quadratic time). Each is answered, never a crash.
TEST(ExchangeImportMoodleXml, HostileMarkupIsAnsweredNotACrash)
{
    const auto question = [](const QByteArray &text) {
        return "<quiz><question type=\"truefalse\"><questiontext format=\"html\"><text>" + text
               + "</text></questiontext><answer fraction=\"100\"><text>true</text></answer>"
                 "<answer fraction=\"0\"><text>false</text></answer></question></quiz>";
    };
    const ReadResult nested = readAs("moodlexml", question(QByteArray("<b>").repeated(60000) + "deep"
                                                            + QByteArray("</b>").repeated(60000)));
    EXPECT_TRUE(nested.report.failed());
    EXPECT_TRUE(nested.report.error().contains("nested more than")) << qPrintable(nested.report.error());
    EXPECT_EQ(nested.report.skipped(), QStringList());   // one fatal line, nothing after it

    const ReadResult lessThan = readAs("moodlexml", question(QByteArray("&lt;").repeated(320 * 1024 / 4) + "x"));
    ASSERT_EQ(lessThan.questions.size(), 1) << qPrintable(lessThan.report.text());
    EXPECT_TRUE(lessThan.questions[0].record.contains(QString("<").repeated(1000) + "x"));

    const ReadResult ampersands = readAs("moodlexml", question(QByteArray("&amp;").repeated(600 * 1024 / 5)));
    ASSERT_EQ(ampersands.questions.size(), 1) << qPrintable(ampersands.report.text());
    EXPECT_TRUE(ampersands.questions[0].record.contains(QString("&").repeated(1000)));

    // A tag of 200,000 attributes (the XML reader compares each with each)
    // and a text of 80,000 distinct links: answered at once, the links in
    // a few lines.
    QByteArray attributes;
    for (int i = 0; i < 200000; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"x\"";
    const ReadResult crowded = readAs("moodlexml", "<quiz><question type=\"truefalse\"" + attributes + "></question></quiz>");
    EXPECT_EQ(crowded.report.error(), "Line 1: \"questions.moodlexml\" is not a Moodle XML file: a tag has more than 64 attributes.");
    QByteArray links;
    for (int i = 0; i < 80000; ++i)
        links += "&lt;a href=\"http://example.org/" + QByteArray::number(i) + ".mp3\"&gt;s&lt;/a&gt;";
    const ReadResult linked = readAs("moodlexml", question(links));
    ASSERT_EQ(linked.questions.size(), 1) << qPrintable(linked.report.text());
    ASSERT_EQ(linked.report.skipped().size(), 6);
    EXPECT_EQ(linked.report.skipped().last(), "Line 1: 79,995 more links were left out as well.");
}

TEST(ExchangeImportCsv, SpreadsheetFilesWithQuotesBreaksAndOtherSeparators)
{
    const QByteArray csv = "\xEF\xBB\xBFkind,question,a,b,c,d,answer,media\r\n"
                           "mc,\"Which is \"\"quoted\"\", with a comma?\",one,two,three,four,c,pic.bmp\r\n"
                           "tf,\"Two\r\nlines\",,,,,FALSE,\r\n"
                           ",,,,,,,\r\n"
                           "essay,Write,,,,,,\r\n"
                           "mc,Bad key,1,2,3,4,E,\r\n"
                           "tf,Bad truth,,,,,maybe,none\r\n";
    const ReadResult r = readAs("csv", csv);
    EXPECT_EQ(records(r), QStringList({mc("Which is \"quoted\", with a comma?", {"one", "two", "three", "four"}, 2, "pic.bmp"),
                                       tf("Two\r\nlines", 1)}));
    EXPECT_EQ(r.report.skipped(),
              QStringList({"Line 6: the kind must be mc or tf, not \"essay\"; skipped.",
                           "Line 7: the answer of a multiple-choice question must be A, B, C or D, not \"E\"; skipped.",
                           "Line 8: the answer of a true/false question must be true or false, not \"maybe\"; skipped."}));

    // A spreadsheet in another locale: ';' between fields, columns reordered, Windows-1252.
    const ReadResult semi = readAs("csv", "Question;Answer;Kind\nCaf\xE9?;true;tf\n");
    EXPECT_EQ(records(semi), QStringList{tf("Caf\u00E9?", 0)}) << qPrintable(semi.report.text());

    // A bank a learning platform exported: its texts are HTML.
    const ReadResult html = readAs("csv", "kind,question,a,b,c,d,answer\n"
                                          "mc,<p>Salt &amp; pepper?</p><p>Second line</p>,<b>one</b>,two &lt; three,c,d,a\n");
    EXPECT_EQ(records(html), QStringList{mc("Salt & pepper?\r\nSecond line", {"one", "two < three", "c", "d"}, 0)})
        << qPrintable(html.report.text());
    EXPECT_TRUE(html.report.text().contains("were read as it shows them")) << qPrintable(html.report.text());

    EXPECT_EQ(readAs("csv", "kind,question,answer\nmc,\"never closed,A\n").report.error(),
              "Line 2: a field that begins with a quotation mark is not closed by one.");
    EXPECT_TRUE(readAs("csv", "name,age\nAnna,12\n").report.error().startsWith("Line 1: the first row"));
}

// Whatever the file holds, an import keeps every text within what the editor
// takes: the saved test opens again.
TEST(ExchangeImport, TextsLongerThanTheEditorTakesAreCutAndSaid)
{
    QTemporaryDir dir;
    const QString huge = QString("x").repeated(5'000'000);
    const QString csv = writeBytes(dir.filePath("huge.csv"),
                                   ("kind,question,a,b,c,d,answer,media\n"
                                    "mc," + huge + ",short," + huge + ",c,d,b,none\n"
                                    "tf,Fine?,,,,,true," + QString("p").repeated(5000) + ".bmp\n").toUtf8());
    const ImportOutcome out = importFile(csv, dir.path());
    ASSERT_EQ(out.records.size(), 2) << qPrintable(out.report.text());
    const QStringList first = QuestionRecord::fields(out.records[0]);
    EXPECT_EQ(first[1].size(), QuestionRecord::MaxQuestionText);
    EXPECT_EQ(first[3].size(), QuestionRecord::MaxAnswerText);
    EXPECT_EQ(QuestionRecord::fields(out.records[1])[2], "none");
    EXPECT_EQ(out.report.skipped(),
              QStringList({"Line 2: its question was cut to 256 characters (4999744 left out).",
                           "Line 2: its answer B was cut to 90 characters (4999910 left out).",
                           "Line 3: its media reference is longer than any file name (5004 characters); left out."}));
    EXPECT_EQ(out.report.exitStatus(), 3);

    // A title and class/teacher line of a test are cut at 100 characters.
    const QString ard = writeTest(dir.filePath("long.ard"), QString("t").repeated(150), QString("c").repeated(101),
                                  {tf("Fine?", 0)});
    const ImportOutcome titled = importFile(ard, dir.path());
    EXPECT_EQ(titled.title, QString("t").repeated(100));
    EXPECT_EQ(titled.teacher, QString("c").repeated(100));
    EXPECT_TRUE(titled.report.text().contains("The file's title was cut to 100 characters."))
        << qPrintable(titled.report.text());
}

TEST(ExchangeImport, MoreThanFitIsNamedQuestionByQuestion)
{
    QTemporaryDir dir;
    QByteArray gift;
    for (int i = 1; i <= 103; ++i)
        gift += "Question " + QByteArray::number(i) + " {T}\n\n";
    const QString many = writeBytes(dir.filePath("many.gift"), gift);
    const ImportOutcome all = importFile(many, dir.path());
    EXPECT_EQ(all.records.size(), 100);
    EXPECT_EQ(all.report.skipped(), QStringList({"Line 201: the test is full (100 questions); not imported.",
                                                 "Line 203: the test is full (100 questions); not imported.",
                                                 "Line 205: the test is full (100 questions); not imported."}));
    const ImportOutcome two = importFile(many, dir.path(), 2);   // a test that already has 98 questions
    EXPECT_EQ(two.records, QStringList({tf("Question 1", 0), tf("Question 2", 0)}));
    // Twenty are named; all 101 are counted as questions, by reason.
    ASSERT_EQ(two.report.skipped().size(), 20);
    EXPECT_EQ(two.report.skipped()[19], "Line 43: the test is full (100 questions); not imported.");
    EXPECT_EQ(two.report.skippedCount(), 101);
    EXPECT_TRUE(two.report.text().contains("101 left behind, by reason:\n101 \u00D7 the test is full (100 questions); "
                                           "not imported."))
        << two.report.text().toStdString();
    EXPECT_TRUE(two.report.text().contains("... and 81 more, counted above."));
    EXPECT_EQ(two.report.exitStatus(), 3);
}

TEST(ExchangeImport, EmbeddedMediaWithHostileNamesStaysInItsFolderUnderSafeNames)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("test");
    const auto file = [](const QString &name, const QByteArray &data) {
        return QString("<file name=\"%1\" path=\"/\" encoding=\"base64\">%2</file>")
            .arg(name, QString(mediaBytes(name, data).toBase64()));
    };
    const auto question = [&](const QString &text, const QString &files) {
        return QString("<question type=\"truefalse\"><questiontext format=\"html\"><text>%1</text>%2</questiontext>"
                       "<answer fraction=\"100\"><text>true</text></answer><answer fraction=\"0\"><text>false</text>"
                       "</answer></question>\n").arg(text, files);
    };
    QString xml = "<?xml version=\"1.0\"?>\n<quiz>\n";
    xml += question("Up", file("../../escape.bmp", "one"));
    xml += question("Absolute", file("/etc/passwd.jpg", "two"));
    xml += question("Windows", file("C:\\Windows\\win.ini.bmp", "three"));
    xml += question("Dots", file("my.holiday.photo.jpg", "four") + file("second.wav", "five"));
    xml += question("Same name, other bytes", file("passwd.jpg", "six"));
    xml += question("Device", file("con.bmp", "seven"));
    xml += question("Strange", file("a\u00A9b\u0416c:?.bmp", "eight"));
    xml += "</quiz>\n";
    const ImportOutcome out = importFile(writeBytes(dir.filePath("hostile.xml"), xml.toUtf8()), dir.filePath("test"));
    ASSERT_FALSE(out.report.failed()) << qPrintable(out.report.text());
    QStringList media;
    for (const QString &r : out.records)
        media << QuestionRecord::fields(r)[2];
    EXPECT_EQ(media, QStringList({"escape.bmp", "passwd.jpg", "win_ini.bmp", "my_holiday_photo.jpg", "passwd-2.jpg",
                                  "media_con.bmp", "a(c)b_c__.bmp"}));
    QStringList written = QDir(dir.filePath("test")).entryList(QDir::Files, QDir::Name);
    QStringList sortedMedia = media;
    sortedMedia.sort();
    EXPECT_EQ(written, sortedMedia);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"hostile.xml"});
    EXPECT_TRUE(out.report.skipped().contains("Line 6: only its first media file was taken; second.wav was left out."))
        << qPrintable(out.report.text());
    // A renamed file is said with its new name; one kept as it came is not.
    EXPECT_TRUE(out.report.notes().contains("Line 5: its media file win.ini.bmp is named win_ini.bmp in the test."))
        << qPrintable(out.report.text());
    EXPECT_TRUE(out.report.notes().contains("Line 7: its media file passwd.jpg is named passwd-2.jpg in the test."));
    EXPECT_FALSE(out.report.text().contains("escape.bmp is named"));
    EXPECT_EQ(readBytes(dir.filePath("test/passwd.jpg")), mediaBytes("passwd.jpg", "two"));
}

// A cancelled import or export changes nothing: no questions, no media
// file, no output.
TEST(ExchangeImport, ACancelledImportOrExportLeavesEverythingAsItWas)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("in");
    QDir(dir.path()).mkpath("out");
    writeBytes(dir.filePath("in/map.bmp"), mediaBytes("map.bmp", "map"));
    const QString csv = writeBytes(dir.filePath("in/bank.csv"), "kind,question,a,b,c,d,answer,media\ntf,Map?,,,,,true,map.bmp\n");
    WorkProgress cancelled;
    cancelled.cancel();
    ImportRequest request;
    request.path = csv;
    request.mediaFolder = dir.filePath("out");
    request.progress = &cancelled;
    const ImportOutcome in = importQuestions(request);
    EXPECT_TRUE(in.cancelled);
    EXPECT_TRUE(in.records.isEmpty());
    EXPECT_TRUE(QDir(dir.filePath("out")).isEmpty());

    ExportRequest out;
    out.path = dir.filePath("out/bank.csv");
    out.source.records = {tf("Map?", 0, dir.filePath("in/map.bmp"))};
    out.progress = &cancelled;
    EXPECT_TRUE(exportQuestions(out).failed());
    EXPECT_TRUE(QDir(dir.filePath("out")).isEmpty());

    // Not cancelled, the same export writes the file and its media.
    WorkProgress running;
    out.progress = &running;
    EXPECT_TRUE(exportQuestions(out).complete());
    EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::Files), QStringList({"bank.csv", "map.bmp"}));
    EXPECT_EQ(running.isCancelled(), false);
}

// Pictures teachers have: a PNG photograph embedded in Moodle XML comes in
// as a JPEG, a WebP drawing beside a CSV (transparent, on white) and a GIF
// as BMPs; each named in the report with its old and new names. A picture
// that cannot be read is named, never dropped silently.
TEST(ExchangeImport, PngGifAndWebPPicturesComeInAsKindsATestHolds)
{
    QTemporaryDir dir;
    QImage photo(120, 80, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 2, y * 3, (x * y) % 256));
    QByteArray png;
    QBuffer pngBuffer(&png);
    pngBuffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(photo.save(&pngBuffer, "PNG"));
    QImage drawing(40, 30, QImage::Format_ARGB32);
    drawing.fill(Qt::transparent);
    for (int x = 0; x < 40; ++x)
        drawing.setPixel(x, 15, qRgb(255, 0, 0));
    ASSERT_TRUE(drawing.save(dir.filePath("map.webp"), "WEBP", 100));
    // One pixel: the smallest GIF there is.
    writeBytes(dir.filePath("dot.gif"), QByteArray("GIF89a\x01\0\x01\0\x80\0\0\xff\xff\xff\0\0\0!\xf9\x04\x01\0\0\0\0"
                                                  ",\0\0\0\0\x01\0\x01\0\0\x02\x02D\x01\0;", 43));
    writeBytes(dir.filePath("broken.png"), "\x89PNG\r\n\x1A\n not really");

    const QString xml = writeBytes(dir.filePath("bank.xml"),
        "<quiz><question type=\"truefalse\"><questiontext format=\"html\"><text>Photo?</text>"
        "<file name=\"photo.png\" path=\"/\" encoding=\"base64\">" + png.toBase64() + "</file></questiontext>"
        "<answer fraction=\"100\"><text>true</text></answer><answer fraction=\"0\"><text>false</text></answer>"
        "</question></quiz>");
    QTemporaryDir held;
    const ImportOutcome fromXml = importFile(xml, held.path());
    ASSERT_EQ(fromXml.records.size(), 1) << qPrintable(fromXml.report.text());
    EXPECT_EQ(QuestionRecord::fields(fromXml.records[0])[2], "photo.jpg");
    EXPECT_EQ(QImage(QDir(held.path()).filePath("photo.jpg"), "JPEG").size(), QSize(120, 80));
    EXPECT_TRUE(fromXml.report.text().contains("Line 1: its picture photo.png came in as photo.jpg."))
        << qPrintable(fromXml.report.text());

    const QString csv = writeBytes(dir.filePath("bank.csv"), "kind,question,a,b,c,d,answer,media\r\n"
                                                             "tf,Map?,,,,,true,map.webp\r\n"
                                                             "tf,Broken?,,,,,true,broken.png\r\n"
                                                             "tf,Dot?,,,,,true,dot.gif\r\n");
    QTemporaryDir held2;
    const ImportOutcome fromCsv = importFile(csv, held2.path());
    ASSERT_EQ(fromCsv.records.size(), 3) << qPrintable(fromCsv.report.text());
    EXPECT_EQ(QuestionRecord::fields(fromCsv.records[0])[2], "map.bmp");
    const QImage map(QDir(held2.path()).filePath("map.bmp"), "BMP");
    EXPECT_EQ(map.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(map.pixel(3, 15), qRgb(255, 0, 0));
    EXPECT_EQ(QuestionRecord::fields(fromCsv.records[1])[2], "none");
    EXPECT_TRUE(fromCsv.report.text().contains("Line 3: its media file broken.png was not taken: the picture cannot be read"))
        << qPrintable(fromCsv.report.text());
    EXPECT_EQ(QuestionRecord::fields(fromCsv.records[2])[2], "dot.bmp");
    EXPECT_EQ(QImage(QDir(held2.path()).filePath("dot.bmp"), "BMP").size(), QSize(1, 1));
}

// A bank larger than a test: every question it can take is listed with its
// category (GIFT's $CATEGORY lines, Moodle XML's category entries), and the
// questions chosen come across, also those far beyond the first hundred.
TEST(ExchangeImportBank, ListedWithCategoriesAndTakenByChoice)
{
    QTemporaryDir dir;
    QByteArray gift = "$CATEGORY: $course$/top/Rivers\n\n";
    for (int i = 1; i <= 150; ++i) {
        if (i == 101)
            gift += "$CATEGORY: $course$/top/Lakes\n\n";
        gift += "Question " + QByteArray::number(i) + "? {=a ~b ~c ~d}\n\n";
    }
    gift += "Essay {}\n";
    writeBytes(dir.filePath("bank.gift"), gift);
    ImportRequest request;
    request.path = dir.filePath("bank.gift");
    request.mediaFolder = dir.path();
    const BankListing bank = listBank(request);
    ASSERT_EQ(bank.entries.size(), 150);
    EXPECT_EQ(bank.entries[149].text, "Question 150?");
    EXPECT_EQ(bank.entries[0].category, "top/Rivers");
    EXPECT_EQ(bank.entries[100].category, "top/Lakes");

    // Another file put under the name after the listing changes nothing:
    // the import reads the file listed, through its handle.
    writeBytes(dir.filePath("other.gift"), "Swapped in? {T}\n");
    ASSERT_TRUE(QDir(dir.path()).rename("bank.gift", "listed.gift") && QDir(dir.path()).rename("other.gift", "bank.gift"));
    request.source = bank.source;
    request.pick = {149, 0, 120, 0};
    const ImportOutcome taken = importQuestions(request);
    ASSERT_EQ(taken.records.size(), 3);
    EXPECT_EQ(taken.records[0], mc("Question 1?", {"a", "b", "c", "d"}, 0));
    EXPECT_EQ(taken.records[2], mc("Question 150?", {"a", "b", "c", "d"}, 0));
    EXPECT_TRUE(taken.report.notes().contains("3 of the file's 150 questions were chosen."));

    const QByteArray xml = "<quiz><question type=\"category\"><category><text>$course$/Maps</text></category></question>"
                           "<question type=\"truefalse\"><questiontext format=\"plain_text\"><text>Flat?</text></questiontext>"
                           "<answer fraction=\"0\"><text>true</text></answer><answer fraction=\"100\"><text>false</text></answer>"
                           "</question></quiz>";
    EXPECT_EQ(readAs("moodlexml", xml).questions.value(0).category, "Maps");
}

TEST(ExchangeImportBank, PicksDrawsAndTheChooser)
{
    const struct {
        const char *text;
        int count;
        QList<int> places;   // empty: refused
    } picks[] = {
        {"1-3,35", 40, {0, 1, 2, 34}}, {" 7 ", 7, {6}}, {"2-2", 5, {1}}, {"0", 5, {}},
        {"3-1", 5, {}},                {"6", 5, {}},    {"1,,2", 5, {}}, {"a", 5, {}},
        {"1-5,3-8,2,9-9,4", 10, {0, 1, 2, 3, 4, 5, 6, 7, 8}},   // overlaps merged, each place once
    };
    for (const auto &p : picks) {
        const std::optional<QList<int>> got = parsePick(QString::fromLatin1(p.text), p.count);
        EXPECT_EQ(got.value_or(QList<int>()), p.places) << p.text;
    }
    // The same seed draws the same questions, in the file's order.
    const QList<int> draw = drawAtRandom(5, 150, 42);
    EXPECT_EQ(draw, drawAtRandom(5, 150, 42));
    EXPECT_NE(draw, drawAtRandom(5, 150, 43));
    EXPECT_TRUE(std::is_sorted(draw.begin(), draw.end()));
    EXPECT_EQ(QSet<int>(draw.begin(), draw.end()).size(), 5);
    EXPECT_EQ(drawAtRandom(9, 4, 1), QList<int>({0, 1, 2, 3}));

    QList<BankEntry> entries;
    for (int i = 0; i < 6; ++i)
        entries << BankEntry{i * 2, i % 2 == 1, QStringLiteral("River %1").arg(i), i < 3 ? "Rivers" : "Lakes", i, {}, {}};
    BankChoice choice(entries, 2);
    EXPECT_EQ(choice.categories(), QStringList({"Rivers", "Lakes"}));
    choice.setFilter("river", "Lakes");
    EXPECT_EQ(choice.shown(), QList<int>({3, 4, 5}));
    EXPECT_EQ(choice.draw(2, 7), 2);
    EXPECT_EQ(choice.checkedCount(), 2);
    for (int p : choice.picked())
        EXPECT_GE(p, 6) << "drawn among the shown only";
    EXPECT_TRUE(choice.canTake());
    choice.setChecked(0, true);
    EXPECT_FALSE(choice.canTake());
    // A draw adds to what is chosen, hidden choices too, and never draws
    // one already chosen.
    choice.setFilter(QString(), "Lakes");
    EXPECT_EQ(choice.draw(5, 3), 1);
    EXPECT_EQ(choice.checkedCount(), 4);
    EXPECT_TRUE(choice.isChecked(0));
}

TEST(ClassList, NamesFromASpreadsheetsColumn)
{
    const struct {
        QByteArray bytes;
        QStringList names;
    } cases[] = {
        {"name\nAnna\nBen\n", {"Anna", "Ben"}},
        {"number;Name;class\r\n1;Zo\xeb;3b\r\n2; Ben  K ;3b\r\n3;;3b\r\n4;ben k;3b\r\n", {"Zoë", "Ben K"}},   // Windows-1252
        {"Anna\n\"Smith, Jo\"\n", {"Anna", "Smith, Jo"}},                                                     // no heading
        {"name,x\n\xe5\xbc\xa0\xe4\xbc\x9f,1\n", {"张伟"}},
    };
    for (const auto &c : cases) {
        QString problem;
        EXPECT_EQ(ClassList::names(c.bytes, &problem), c.names) << c.bytes.constData();
        EXPECT_EQ(problem, QString());
    }
    for (const QByteArray &bad : {QByteArray("name\n"), QByteArray("\"Anna\n"), QByteArray()}) {
        QString problem;
        EXPECT_TRUE(ClassList::names(bad, &problem).isEmpty());
        EXPECT_FALSE(problem.isEmpty()) << bad.constData();
    }
}

// Shapes that cost far more than an ordinary file of their size, read in
// one pass and reported in bounded lines (their cost per megabyte beside an
// ordinary file's is in `make bench`).
TEST(ExchangeImport, HostileShapesAreReadInOnePassAndReportedInBoundedLines)
{
    // A header of a million columns stops at the first few hundred.
    QByteArray wide = "kind,question,answer";
    for (int i = 0; i < 1000000; ++i)
        wide += ",c";
    const ReadResult csv = readAs("csv", wide + "\nmc,Q?,A\n");
    EXPECT_TRUE(csv.report.failed());
    EXPECT_TRUE(csv.report.error().contains("more than 256 fields")) << csv.report.error().toStdString();

    // Aiken text read as GIFT: every block is skipped, and the report lists
    // a few hundred of them and counts the rest.
    QByteArray aiken;
    for (int i = 0; i < 20000; ++i)
        aiken += "What is " + QByteArray::number(i) + "?\nA. one\nB. two\nANSWER: A\n\n";
    const ReadResult gift = readAs("gift", aiken);
    EXPECT_EQ(gift.report.skippedCount(), 20000);
    EXPECT_EQ(gift.report.skipped().size(), ExchangeReport::ListedAtMost);
    EXPECT_TRUE(gift.report.text().contains("20000 left behind, by reason:"));
    EXPECT_TRUE(gift.report.text().contains("... and 19700 more, counted above."));

    // Category lines by the thousand, deep ones, in one block and in many.
    QByteArray deep;
    QByteArray path = "$course$/top";
    for (int level = 0; level < 2000; ++level)
        path += "/" + QByteArray::number(level);
    for (int i = 0; i < 200; ++i)
        deep += "$CATEGORY: " + path + "/" + QByteArray::number(i) + "\n::Q" + QByteArray::number(i) + ":: Flat? {F}\n\n";
    QByteArray oneBlock;
    for (int i = 0; i < 100000; ++i)
        oneBlock += "$CATEGORY: a/" + QByteArray::number(i) + "\n";
    const ReadResult categories = readAs("gift", deep + oneBlock + "Flat? {F}\n");
    EXPECT_EQ(categories.questions.size(), 201);
    EXPECT_EQ(categories.questions.last().category, "a/99999");
}
