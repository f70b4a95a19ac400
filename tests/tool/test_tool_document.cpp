// ardeno-tool's document commands on sample files written by an independent
// writer (scripts/make-document-samples.py).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "ToolRun.h"
#include "TestFiles.h"
#include "MediaBytes.h"

namespace {
ToolRun tool(const QStringList &args, const QByteArray &input = {}, const QString &cwd = {})
{
    return runProgram(QStringLiteral(ARDENO_TOOL), args, cwd, input);
}

QString sample(const QString &name)
{
    return testData(QStringLiteral("tests/") + name);
}

QJsonDocument json(const QByteArray &bytes) { return QJsonDocument::fromJson(bytes); }
}

TEST(ToolDocument, DumpReadsASampleTestAndRefusesWhatIsNone)
{
    const ToolRun r = tool({"dump", sample("sample.ard")});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(json(r.out), json(readBytes(sample("sample.json"))));
    EXPECT_FALSE(json(r.out).isNull());

    for (const QString &file : {sample("unreadable.ard"), sample("missing.ard")}) {
        const ToolRun bad = tool({"dump", file});
        EXPECT_EQ(bad.status, 1);
        EXPECT_TRUE(bad.out.isEmpty());
        EXPECT_TRUE(bad.err.contains(QFileInfo(file).fileName().toUtf8())) << bad.err.constData();
    }
}

TEST(ToolDocument, SaveWritesTheExactFileAndCopiesRelativeMedia)
{
    QTemporaryDir dir;
    const ToolRun r = tool({"save", "quiz.ard"}, readBytes(sample("sample.json")), dir.path());
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(readBytes(dir.filePath("quiz.ard")), readBytes(sample("sample-saved.ard")));
    EXPECT_EQ(json(r.out), json(readBytes(sample("sample.json"))));

    ASSERT_TRUE(QDir(dir.path()).mkpath("pics") && QDir(dir.path()).mkpath("out"));
    writeBytes(dir.filePath("pics/cat.bmp"), mediaBytes("cat.bmp"));
    const QByteArray in = QStringLiteral(R"({"title": "T", "teacher": "C", "records":
        ["t\u00A9Cat?\u00A9pics/cat.bmp\u00A9 0"]})").toUtf8();
    const ToolRun media = tool({"save", "out/q.ard"}, in, dir.path());
    EXPECT_EQ(media.status, 0) << media.err.constData();
    EXPECT_EQ(json(media.out)["records"][0].toString(), QStringLiteral("t\u00A9Cat?\u00A9cat.bmp\u00A9 0"));
    EXPECT_EQ(readBytes(dir.filePath("out/cat.bmp")), mediaBytes("cat.bmp"));

    // The language and the descriptions go into the companion file and come
    // back with the test; the test file is the same without them.
    const QByteArray described = QStringLiteral(R"({"title": "T", "teacher": "C", "records":
        ["t\u00A9Cat?\u00A9pics/cat.bmp\u00A9 0"], "language": "fr", "descriptions": ["Un chat gris."]})").toUtf8();
    ASSERT_TRUE(QDir(dir.path()).mkpath("described"));
    const ToolRun companion = tool({"save", "described/d.ard"}, described, dir.path());
    EXPECT_EQ(companion.status, 0) << companion.err.constData();
    EXPECT_EQ(readBytes(dir.filePath("described/d.ard")), readBytes(dir.filePath("out/q.ard")));
    const ToolRun dumped = tool({"dump", dir.filePath("described/d.ard")});
    EXPECT_EQ(json(dumped.out)["language"].toString(), QStringLiteral("fr"));
    EXPECT_EQ(json(dumped.out)["descriptions"][0].toString(), QStringLiteral("Un chat gris."));
    EXPECT_FALSE(json(tool({"dump", dir.filePath("out/q.ard")}).out).object().contains("language"));
}

TEST(ToolDocument, SaveRefusesIncompleteInputAndWritesNothing)
{
    QTemporaryDir dir;
    const struct { const char *json; const char *message; } cases[] = {
        {R"({"title": "", "teacher": "C", "records": []})",
         "Please fill in all fields before attempting to save this test."},
        {R"({"title": "T", "teacher": "", "records": []})",
         "Please fill in all fields before attempting to save this test."},
        {R"({"title": "T", "teacher": "C", "records": ["no separator"]})", "Record 1"},
        {R"({"title": "T", "teacher": "C"})", "records"},
        {"not json", "not JSON"},
    };
    for (const auto &c : cases) {
        const ToolRun r = tool({"save", "x.ard"}, c.json, dir.path());
        EXPECT_EQ(r.status, 1) << c.json;
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.constData();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}
