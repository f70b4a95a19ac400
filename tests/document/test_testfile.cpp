// Loading and saving test files: the exact bytes, the looser reading rules,
// unreadable files, media travelling with the test, and safe replacement.
#include "TestDoubles.h"
#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"
#include "document/TestFile.h"
#include "FileSizeLimit.h"
#include "MediaBytes.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <optional>
#include <utility>

namespace {
const QString Sep(QChar(0xA9));
const QByteArray CrLf("\r\n");

// Scrambles a plain Windows-1252 line the way the quiz player expects it
// (written here independently of LineCodec).
QByteArray scr(QByteArray plain)
{
    for (char &c : plain)
        c = char(c ^ 0x1D);
    return plain;
}
QByteArray header(const QByteArray &title = "Title", const QByteArray &teacher = "Class")
{
    return scr(title + "\xA9" + teacher);
}
QString mc(const QString &q, const QString &media = QStringLiteral("none"))
{
    return QStringList{"m", q, "a", "b", "c", "d", media, " 2"}.join(Sep);
}

// Saves as the editor does: the title lines into the test, and on success
// the saved records (media named by their copies) back into it.
SaveResult save(TestDocument &doc, const QString &path, const QString &title, const QString &teacher,
                const std::function<void()> &pump = {}, bool acceptLossy = false)
{
    doc.setTitle(title);
    doc.setTeacher(teacher);
    SaveResult r = SaveTest(doc, path, SaveOptions{acceptLossy, pump});
    if (r.saved())
        doc.setRecords(r.records);
    return r;
}

class TestFileTest : public ::testing::Test {
protected:
    ScopedPlatform platform;
    QTemporaryDir dir;
    QString oldCwd = QDir::currentPath();
    QString path(const QString &name) const { return dir.filePath(name); }
    ~TestFileTest() override { QDir::setCurrent(oldCwd); }
};
}

TEST_F(TestFileTest, SavesExactBytesAndLoadsThemBack)
{
    TestDocument doc;
    int pumps = 0;
    ASSERT_TRUE(save(doc, path("empty.ard"), "T", "C", [&] { ++pumps; }).saved());
    EXPECT_EQ(readBytes(path("empty.ard")), header("T", "C") + CrLf + CrLf);
    EXPECT_EQ(pumps, 0);

    const QString withBreak = mc(QStringLiteral("Line one\r\nline two \u20AC"));
    const QString tf = QStringList{"t", "True?", "None", " 0"}.join(Sep);
    doc.append(withBreak);
    doc.append(tf);
    ASSERT_TRUE(save(doc, path("two.ard"), "  My test ", " 7B ", [&] { ++pumps; }).saved());
    EXPECT_EQ(pumps, 2);
    EXPECT_EQ(readBytes(path("two.ard")),
              header("  My test ", " 7B ") + CrLf + scr("m\xA9Line one\r\nline two \x80\xA9" "a\xA9" "b\xA9"
              "c\xA9" "d\xA9none\xA9 2") + CrLf + scr("t\xA9True?\xA9None\xA9 0") + CrLf + CrLf);
    EXPECT_TRUE(platform.messages.shown.isEmpty());

    TestDocument loaded;
    const TestReadResult r = LoadTest(loaded, path("two.ard"));
    ASSERT_TRUE(r.test) << qPrintable(r.error);
    EXPECT_EQ(r.test->title, QStringLiteral("My test"));
    EXPECT_EQ(r.test->teacher, QStringLiteral("7B"));
    EXPECT_EQ(loaded.nextQuestionNumber(), 3);
    EXPECT_EQ(loaded.record(1), withBreak);
    EXPECT_EQ(loaded.caption(1), QStringLiteral("Line one\r\nline two \u20AC"));
    EXPECT_EQ(loaded.record(2), tf);

    ASSERT_TRUE(LoadTest(loaded, path("empty.ard")).test);
    EXPECT_EQ(loaded.nextQuestionNumber(), 1);
    EXPECT_TRUE(loaded.record(1).isEmpty());
}

TEST_F(TestFileTest, ReadsLooseLineEndsBlankLinesAndExtraSeparators)
{
    const QByteArray q1 = scr("m\xA9one"), q2 = scr("x\xA9two"), q3 = scr("t\xA9three");
    const struct { const char *name; QByteArray bytes; QStringList records; } cases[] = {
        {"CR LF", header() + CrLf + q1 + CrLf + q2 + CrLf + CrLf, {"m\u00A9one", "x\u00A9two"}},
        {"CR only, no final end", header() + "\r" + q1 + "\r" + q2, {"m\u00A9one", "x\u00A9two"}},
        {"blank lines anywhere", header() + "\r\n\r\n" + q1 + "\r\r\n\r\n" + q3 + "\r\n\r\n\r\n",
         {"m\u00A9one", "t\u00A9three"}},
        {"lone LF inside a line", header() + CrLf + q1 + "\n" + q3 + CrLf,
         {"m\u00A9one\u0017t\u00A9three"}},
    };
    for (const auto &c : cases) {
        const auto r = parseTestBytes(c.bytes, "x.ard");
        ASSERT_TRUE(r.test) << c.name << qPrintable(r.error);
        EXPECT_EQ(r.test->title, QStringLiteral("Title")) << c.name;
        EXPECT_EQ(r.test->records, c.records) << c.name;
    }
    const auto r = parseTestBytes(scr("  A \xA9 B \xA9 C") + CrLf + CrLf, "x.ard");
    ASSERT_TRUE(r.test);
    EXPECT_EQ(r.test->title, QStringLiteral("A"));
    EXPECT_EQ(r.test->teacher, QStringLiteral("B"));
    const auto blanks = parseTestBytes(scr("   \xA9  ") + CrLf, "x.ard");
    ASSERT_TRUE(blanks.test);
    EXPECT_TRUE(blanks.test->title.isEmpty() && blanks.test->teacher.isEmpty());

    QByteArray full = header() + CrLf;
    for (int i = 1; i <= 100; ++i)
        full += scr("t\xA9q" + QByteArray::number(i) + "\xA9none\xA9 0") + CrLf;
    TestDocument doc;
    writeBytes(path("full.ard"), full + CrLf);
    ASSERT_TRUE(LoadTest(doc, path("full.ard")).test);
    EXPECT_EQ(doc.nextQuestionNumber(), 101);
    EXPECT_EQ(doc.caption(100), QStringLiteral("q100"));
}

TEST_F(TestFileTest, RefusesUnreadableFilesAndLeavesTheDocumentAlone)
{
    QByteArray full = header() + CrLf;
    for (int i = 1; i <= 101; ++i)
        full += scr("t\xA9q\xA9none\xA9 0") + CrLf;
    const struct { const char *name; QByteArray bytes; const char *problem; } cases[] = {
        {"empty.ard", "", "empty"},
        {"noheader.ard", scr("just a title") + CrLf + scr("m\xA9q") + CrLf, "title and class/teacher"},
        {"noquestion.ard", header() + CrLf + scr("m\xA9q") + CrLf + CrLf + scr("oops") + CrLf, "line 4"},
        {"toolong.ard", full, "more than 100 questions"},
    };
    TestDocument doc;
    doc.append(mc("kept"));
    doc.setCurrentFile("old.ard");
    for (const auto &c : cases) {
        writeBytes(path(c.name), c.bytes);
        const TestReadResult r = LoadTest(doc, path(c.name));
        EXPECT_FALSE(r.test) << c.name;
        EXPECT_TRUE(r.error.contains(c.name)) << qPrintable(r.error);
        EXPECT_TRUE(r.error.contains(c.problem)) << qPrintable(r.error);
    }
    for (const QString &p : {path("missing.ard"), dir.path()}) {
        const TestReadResult r = LoadTest(doc, p);
        EXPECT_FALSE(r.test);
        EXPECT_FALSE(r.error.isEmpty());
    }
    EXPECT_EQ(doc.nextQuestionNumber(), 2);
    EXPECT_EQ(doc.caption(1), QStringLiteral("kept"));
    EXPECT_EQ(doc.currentFile(), QStringLiteral("old.ard"));
}

TEST_F(TestFileTest, EveryByteOfALineSurvivesLoadAndSave)
{
    // Any byte but CR can stand inside a line; the line holds the scrambled
    // euro (0x9D) and the other undefined codes.
    QByteArray line;
    for (int i = 0; i < 256; ++i)
        if (i != '\r')
            line += char(i);
    const QByteArray file = header() + CrLf + line + CrLf + CrLf;
    writeBytes(path("bytes.ard"), file);
    TestDocument doc;
    const auto r = LoadTest(doc, path("bytes.ard"));
    ASSERT_TRUE(r.test) << qPrintable(r.error);
    EXPECT_TRUE(doc.record(1).contains(QStringLiteral("\u20AC")));
    EXPECT_TRUE(doc.record(1).contains(QChar(0x9D)));
    ASSERT_TRUE(save(doc, path("again.ard"), r.test->title, r.test->teacher).saved());
    EXPECT_EQ(readBytes(path("again.ard")), file);
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

TEST_F(TestFileTest, MediaTravelsWithTheTest)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("pics") && QDir(dir.path()).mkpath("out"));
    for (const char *n : {"pics/cat.bmp", "pics/dog.wav", "pics/owl.jpg", "out/owl.jpg"})
        writeBytes(path(n), mediaBytes(n, n));
    QDir::setCurrent(path("pics"));
    TestDocument doc;
    doc.append(mc("copied", path("pics/cat.bmp")));
    doc.append(QStringList{"t", "relative", "dog.wav", " 1"}.join(Sep));
    doc.append(mc("present", path("pics/owl.jpg")));
    doc.append(mc("missing", QStringLiteral("/no/such/file.bmp")));
    doc.append(mc("none"));
    doc.append(mc("nine fields", path("pics/cat.bmp")) + Sep);
    ASSERT_TRUE(save(doc, path("out/quiz.ard"), "T", "C").saved());
    EXPECT_EQ(QuestionRecord::fields(doc.record(1))[6], QStringLiteral("cat.bmp"));
    EXPECT_EQ(QuestionRecord::fields(doc.record(2))[2], QStringLiteral("dog.wav"));
    EXPECT_EQ(readBytes(path("out/dog.wav")), mediaBytes("pics/dog.wav", "pics/dog.wav"));
    EXPECT_EQ(readBytes(path("out/owl.jpg")), mediaBytes("out/owl.jpg", "out/owl.jpg"));
    EXPECT_EQ(doc.record(3), mc("present", path("pics/owl.jpg")));
    EXPECT_EQ(doc.record(4), mc("missing", QStringLiteral("/no/such/file.bmp")));
    EXPECT_EQ(doc.record(5), mc("none"));
    EXPECT_EQ(doc.record(6), mc("nine fields", path("pics/cat.bmp")) + Sep);
    EXPECT_EQ(platform.shell.copies.size(), 2);
    TestDocument loaded;
    ASSERT_TRUE(LoadTest(loaded, path("out/quiz.ard")).test);
    EXPECT_EQ(loaded.record(1), doc.record(1));

    // Saving again into the same folder copies nothing.
    platform.shell.copies.clear();
    platform.messages.clear();
    QDir::setCurrent(path("out"));
    const SaveResult again = save(doc, path("out/quiz.ard"), "T", "C");
    ASSERT_TRUE(again.saved());
    EXPECT_TRUE(platform.shell.copies.isEmpty());
    // The one file that is not there is named each time; it stays named.
    EXPECT_EQ(again.notCopiedMessage(), "Error occurred!\n\n/no/such/file.bmp: not found");
}

TEST_F(TestFileTest, NoCopyLandsOutsideTheTargetFolder)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("home/tests") && QDir(dir.path()).mkpath("out")
                && QDir(dir.path()).mkpath("home/pics.dir"));
    writeBytes(path("home/up.bmp"), mediaBytes("up.bmp", "up"));
    const QString control = QStringLiteral("bell\x07.bmp");
    writeBytes(path("home/tests/") + control, mediaBytes(control, "bell"));
    TestDocument doc;
    doc.setTestFolder(MediaLookup::testFolderOf(path("home/tests/quiz.ard")));
    doc.append(mc("parent", "../up.bmp"));
    doc.append(mc("folder", path("home/pics.dir")));
    doc.append(mc("control", control));
    ASSERT_TRUE(save(doc, path("out/quiz.ard"), "T", "C").saved());
    // The file above the test folder arrives in the target folder, by name.
    EXPECT_EQ(readBytes(path("out/up.bmp")), mediaBytes("up.bmp", "up"));
    EXPECT_EQ(doc.record(1), mc("parent", "up.bmp"));
    EXPECT_EQ(doc.record(2), mc("folder", path("home/pics.dir")));
    EXPECT_EQ(doc.record(3), mc("control", control));
    EXPECT_EQ(platform.shell.copies.size(), 1);
    QStringList everything;
    for (const char *sub : {"out", "home", "home/tests"})
        everything << QDir(path(sub)).entryList(QDir::Files);
    EXPECT_EQ(everything, (QStringList{"quiz.ard", "up.bmp", "up.bmp", control}));
}

// Where the copies fail (a full disk: a small tmpfs when we may mount one,
// else a file-size limit, which binds root too): one message names every
// file with the system's reason, no partial copy stays behind, the records
// keep their references, and a Save As into a roomy folder takes every
// picture along.
TEST_F(TestFileTest, FailedCopiesLoseNoPictureAndAreListedOnce)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("pics") && QDir(dir.path()).mkpath("full")
                && QDir(dir.path()).mkpath("roomy"));
    const QByteArray big(200 * 1024, 'p');
    for (const char *n : {"pics/a.bmp", "pics/b.jpg", "pics/c.wav"})
        writeBytes(path(n), mediaBytes(n, big));
    TestDocument doc;
    doc.setTestFolder(path("pics/"));
    doc.append(mc("a", "a.bmp"));
    doc.append(mc("b", "b.jpg"));
    doc.append(QStringList{"t", "c", "c.wav", " 1"}.join(Sep));
    const QStringList before = {doc.record(1), doc.record(2), doc.record(3)};

    const auto quietly = [](const QString &program, const QStringList &args) {
        QProcess p;
        p.start(program, args);
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    const bool mounted = quietly("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", path("full")});
    std::optional<FileSizeLimit> limit;
    if (!mounted)
        limit.emplace(64 * 1024);
    const SaveResult r = save(doc, path("full/quiz.ard"), "T", "C");
    limit.reset();
    const QStringList left = QDir(path("full")).entryList(QDir::Files | QDir::Hidden);
    if (mounted)
        quietly("umount", {path("full")});

    ASSERT_TRUE(r.saved()) << qPrintable(r.errorDescription);
    const QString reason = mounted ? QStringLiteral("No space left on device") : QStringLiteral("File too large");
    for (const char *n : {"pics/a.bmp", "pics/b.jpg", "pics/c.wav"})
        EXPECT_TRUE(r.notCopied.contains(path(n) + ": " + reason)) << qPrintable(r.notCopied.join('\n'));
    EXPECT_EQ(left, QStringList{"quiz.ard"});   // no partial copy
    EXPECT_EQ((QStringList{doc.record(1), doc.record(2), doc.record(3)}), before);

    // The next Save As into a roomy folder takes every file along.
    const SaveResult roomy = save(doc, path("roomy/quiz.ard"), "T", "C");
    ASSERT_TRUE(roomy.saved());
    for (const char *n : {"a.bmp", "b.jpg", "c.wav"})
        EXPECT_EQ(readBytes(path("roomy/") + n), mediaBytes(n, big)) << n;
    EXPECT_TRUE(roomy.notCopied.isEmpty());
}

// A test made by someone else may name private or special files: they are
// never copied into the folder the test is saved to; the save says so and
// the references stay. A link is followed only to a regular file.
TEST_F(TestFileTest, SavingCopiesMediaNeverPrivateOrSpecialFiles)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("home/.ssh") && QDir(dir.path()).mkpath("home/tests")
                && QDir(dir.path()).mkpath("shared"));
    writeBytes(path("home/.ssh/id_rsa"), "secret");
    writeBytes(path("home/passwd"), "secret");
    writeBytes(path("home/tests/real.bmp"), mediaBytes("real.bmp", "picture"));
    ASSERT_TRUE(QFile::link(path("home/tests/real.bmp"), path("home/tests/link.bmp")));
    ASSERT_TRUE(QFile::link("/dev/zero", path("home/tests/zero.bmp")));
    ASSERT_TRUE(QFile::link(path("home/.ssh/id_rsa"), path("home/tests/key.mp3")));
    TestDocument doc;
    doc.setTestFolder(path("home/tests/"));
    doc.append(mc("dotfile", path("home/.ssh/id_rsa")));
    doc.append(mc("parent", "../passwd"));
    doc.append(mc("proc", "/proc/self/environ"));
    doc.append(mc("device", "zero.bmp"));
    doc.append(mc("link", "link.bmp"));
    doc.append(mc("key named as a sound", "key.mp3"));
    const QStringList before = {doc.record(1), doc.record(2), doc.record(3),
                                doc.record(4)};
    const SaveResult r = save(doc, path("shared/quiz.ard"), "T", "C");
    ASSERT_TRUE(r.saved());
    EXPECT_EQ(QDir(path("shared")).entryList(QDir::Files | QDir::Hidden), (QStringList{"link.bmp", "quiz.ard"}));
    EXPECT_EQ(readBytes(path("shared/link.bmp")), mediaBytes("real.bmp", "picture"));
    EXPECT_EQ(doc.record(5), mc("link", "link.bmp"));
    EXPECT_EQ((QStringList{doc.record(1), doc.record(2), doc.record(3),
                           doc.record(4)}), before);
    const QString text = r.notCopiedMessage();
    EXPECT_TRUE(text.contains(path("home/.ssh/id_rsa") + ": not a media file")) << qPrintable(text);
    EXPECT_TRUE(text.contains("passwd: not a media file")) << qPrintable(text);
    EXPECT_TRUE(text.contains("/proc/self/environ: not a media file")) << qPrintable(text);
    EXPECT_TRUE(text.contains("key.mp3: not a media file: its content is not an MP3 sound")) << qPrintable(text);
    EXPECT_EQ(doc.record(6), mc("key named as a sound", "key.mp3"));
    EXPECT_TRUE(text.contains("zero.bmp: not a regular file (a device)")) << qPrintable(text);
}

TEST_F(TestFileTest, RefusalsWriteAndCopyNothing)
{
    writeBytes(path("cat.bmp"), "cat");
    TestDocument doc;
    doc.append(mc("q", path("cat.bmp")));
    const QString before = doc.record(1);
    for (const auto &[title, teacher] : {std::pair{"", "C"}, std::pair{"T", ""}}) {
        const SaveResult r = save(doc, path("sub/a.ard"), title, teacher);
        EXPECT_EQ(r.status, SaveResult::Status::FieldsMissing);
        EXPECT_EQ(r.message(), QStringLiteral("Please fill in all fields before attempting to save this test."));
    }

    // Characters a test cannot hold: named, and saved as '?' only when the
    // teacher accepts.
    doc.append(mc(QStringLiteral("\u0416 and \u0010")));
    const SaveResult lossy = save(doc, path("a.ard"), QStringLiteral("T\U0001F600"), "C");
    EXPECT_EQ(lossy.status, SaveResult::Status::LossyCharacters);
    EXPECT_TRUE(lossy.message().contains(QStringLiteral("\U0001F600 \u0416 U+0010"))) << qPrintable(lossy.message());
    EXPECT_TRUE(lossy.message().endsWith(QStringLiteral("Save anyway?")));
    EXPECT_FALSE(QFile::exists(path("a.ard")));
    EXPECT_FALSE(QDir(path("sub")).exists());
    EXPECT_TRUE(platform.shell.copies.isEmpty());
    EXPECT_EQ(doc.record(1), before);

    ASSERT_TRUE(save(doc, path("a.ard"), QStringLiteral("T\U0001F600"), "C", {}, true).saved());
    TestDocument loaded;
    const auto r = LoadTest(loaded, path("a.ard"));
    ASSERT_TRUE(r.test);
    EXPECT_EQ(r.test->title, QStringLiteral("T?"));
    EXPECT_EQ(loaded.nextQuestionNumber(), 3);
    EXPECT_EQ(loaded.caption(2), QStringLiteral("? and ?"));
}
