// ardeno-tool import and export: the format by option or name, the report on
// stderr, and the exit status (0 all went across, 3 something stayed behind,
// 1 failure with nothing written, 2 bad arguments).
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "ToolRun.h"
#include "TestFiles.h"

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {
ToolRun tool(const QStringList &args, const QString &cwd) { return runProgram(QStringLiteral(ARDENO_TOOL), args, cwd); }

QJsonObject dump(const QString &path, const QString &cwd)
{
    return QJsonDocument::fromJson(tool({"dump", path}, cwd).out).object();
}

QStringList recordsOf(const QJsonObject &test)
{
    QStringList list;
    for (const QJsonValue &v : test["records"].toArray())
        list << v.toString();
    return list;
}

const QByteArray kGift = "::T1:: Capital of France? {=Paris ~Rome ~Madrid ~Berlin}\n\nThe sun is cold. {F}\n";
}

TEST(ToolExchange, ImportNamesTheTestAfterTheFileUnlessTold)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("geography.gift"), kGift);
    const ToolRun r = tool({"import", "geography.gift", "geo.ard"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_TRUE(r.err.startsWith("2 questions imported from \"geography.gift\".")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("Question names and titles were left out"));
    const QJsonObject test = dump("geo.ard", dir.path());
    EXPECT_EQ(test["title"].toString(), "geography");
    EXPECT_EQ(test["teacher"].toString(), "Imported from geography.gift");
    EXPECT_EQ(recordsOf(test), QStringList({"m\u00A9Capital of France?\u00A9Paris\u00A9Rome\u00A9Madrid\u00A9Berlin\u00A9none\u00A9 0",
                                            "t\u00A9The sun is cold.\u00A9none\u00A9 1"}));

    EXPECT_EQ(tool({"import", "geography.gift", "named.ard", "--title", "Europe", "--teacher=Class 4"}, dir.path()).status, 0);
    EXPECT_EQ(dump("named.ard", dir.path())["title"].toString(), "Europe");
    EXPECT_EQ(dump("named.ard", dir.path())["teacher"].toString(), "Class 4");
    // The field separator in a title is written "(c)", as in a question: it
    // would split the title line; a blank title is refused as Save refuses it.
    EXPECT_EQ(tool({"import", "geography.gift", "rock.ard", "--title", "Rock \u00A9 Roll"}, dir.path()).status, 0);
    EXPECT_EQ(dump("rock.ard", dir.path())["title"].toString(), "Rock (c) Roll");
    const ToolRun blank = tool({"import", "geography.gift", "blank.ard", "--title", "  "}, dir.path());
    EXPECT_EQ(blank.status, 1);
    EXPECT_TRUE(blank.err.contains("Please fill in all fields before attempting to save this test."));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("blank.ard")));

    // On a display the GUI toolkit knows "--title" too; ours stays ours.
    const QString display = qEnvironmentVariable("ARDENO_TEST_DISPLAY");
    if (display.isEmpty())
        GTEST_SKIP() << "no test display";
    const ToolRun onDisplay = runProgram(QStringLiteral(ARDENO_TOOL),
                                         {"import", "geography.gift", "shown.ard", "--title", "Europe"}, dir.path(),
                                         {}, {"DISPLAY=" + display, "QT_QPA_PLATFORM="});
    EXPECT_EQ(onDisplay.status, 0) << onDisplay.err.constData();
    EXPECT_EQ(dump("shown.ard", dir.path())["title"].toString(), "Europe");
}

TEST(ToolExchange, AFailedImportWritesNothing)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("broken.gift"), "Fine {T}\n\nOpen {\n=a\n");
    writeBytes(dir.filePath("cut.xml"), "<?xml version=\"1.0\"?>\n<quiz><question type=\"truefalse\">"
                                   "<questiontext><text>x</text><file name=\"p.bmp\" encoding=\"base64\">Qk0=</file>");
    writeBytes(dir.filePath("notes.docx"), "PK");
    const struct { const char *in; const char *message; } cases[] = {
        {"broken.gift", "Line 3: the answers opened with \"{\" are not closed with \"}\"."},
        {"cut.xml", "Line 2: \"cut.xml\" is not a complete Moodle XML file"},
        {"notes.docx", "The format of \"notes.docx\" is not known from its name"},
        {"missing.csv", "\"missing.csv\" cannot be read"},
    };
    for (const auto &c : cases) {
        const ToolRun r = tool({"import", c.in, "out.ard"}, dir.path());
        EXPECT_EQ(r.status, 1) << c.in;
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.constData();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              QStringList({"broken.gift", "cut.xml", "notes.docx"}));
}

TEST(ToolExchange, ExportChoosesTheFormatByTheNewFilesName)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("geo.gift"), kGift);
    ASSERT_EQ(tool({"import", "geo.gift", "geo.ard"}, dir.path()).status, 0);

    EXPECT_EQ(tool({"export", "geo.ard", "out.xml"}, dir.path()).status, 0);
    EXPECT_TRUE(readBytes(dir.filePath("out.xml")).contains("<question type=\"truefalse\">"));

    const ToolRun aiken = tool({"export", "geo.ard", "out.txt", "--format", "aiken"}, dir.path());
    EXPECT_EQ(aiken.status, 3);
    EXPECT_TRUE(aiken.err.contains("Question 2: a true/false question; Aiken has none")) << aiken.err.constData();
    EXPECT_EQ(readBytes(dir.filePath("out.txt")), QByteArray("Capital of France?\nA) Paris\nB) Rome\nC) Madrid\nD) Berlin\nANSWER: A\n\n"));

    EXPECT_EQ(tool({"export", "geo.ard", "out.pdf"}, dir.path()).status, 1);
    EXPECT_EQ(tool({"export", "missing.ard", "out.csv"}, dir.path()).status, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("out.pdf")) || QFile::exists(dir.filePath("out.csv")));
}

TEST(ToolExchange, ExportToStandardOutputAndNeverOverADevice)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath("geo.gift"), kGift);
    ASSERT_EQ(tool({"import", "geo.gift", "geo.ard"}, dir.path()).status, 0);
    const ToolRun out = tool({"export", "geo.ard", "-", "--format", "aiken"}, dir.path());
    EXPECT_EQ(out.status, 3) << out.err.constData();   // the true/false question stays behind
    EXPECT_TRUE(out.out.startsWith("Capital of France?\n")) << out.out.constData();
    EXPECT_TRUE(out.err.startsWith("1 question exported to standard output.")) << out.err.constData();

    ASSERT_TRUE(QFile::link("/dev/null", dir.filePath("null.gift")));
    const ToolRun device = tool({"export", "geo.ard", "null.gift"}, dir.path());
    EXPECT_EQ(device.status, 1);
    EXPECT_TRUE(device.err.startsWith("\"null.gift\" cannot be written: not a regular file (a device)"))
        << device.err.constData();
    EXPECT_TRUE(QFileInfo(dir.filePath("null.gift")).isSymLink());
}

// From a bank: the questions named by their numbers, or drawn at random
// (the same seed, the same test).
TEST(ToolExchange, ImportPicksOrDrawsFromABank)
{
    QTemporaryDir dir;
    QByteArray gift;
    for (int i = 1; i <= 120; ++i)
        gift += "Question " + QByteArray::number(i) + "? {T}\n\n";
    writeBytes(dir.filePath("bank.gift"), gift);
    ASSERT_EQ(tool({"import", "bank.gift", "picked.ard", "--pick", "120,1-2"}, dir.path()).status, 0);
    const QJsonArray picked = dump("picked.ard", dir.path())["records"].toArray();
    ASSERT_EQ(picked.size(), 3);
    EXPECT_TRUE(picked[2].toString().contains("Question 120?"));
    EXPECT_EQ(tool({"import", "bank.gift", "bad.ard", "--pick", "121"}, dir.path()).status, 2);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("bad.ard")));
    ASSERT_EQ(tool({"import", "bank.gift", "a.ard", "--random", "10", "--seed", "7"}, dir.path()).status, 0);
    ASSERT_EQ(tool({"import", "bank.gift", "b.ard", "--random", "10", "--seed", "7"}, dir.path()).status, 0);
    EXPECT_EQ(dump("a.ard", dir.path())["records"].toArray().size(), 10);
    EXPECT_EQ(dump("a.ard", dir.path())["records"], dump("b.ard", dir.path())["records"]);
}
