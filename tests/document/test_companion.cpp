// The companion file beside a test: it travels with every save, leaves the
// quiz player's file byte for byte as it was, gives each description back
// to the question showing that media, and is never read through a link, a
// special file or a file that is not one.
#include "TestDoubles.h"
#include "document/CompanionFile.h"
#include "document/LanguageNames.h"
#include "document/QuestionRecord.h"
#include "document/TestFile.h"
#include "FileSizeLimit.h"
#include "MediaBytes.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <atomic>
#include <thread>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
QString mc(const QString &q, const QString &media = QStringLiteral("none"))
{
    return record({"m", q, "a", "b", "c", "d", media, " 2"});
}
QString tf(const QString &q, const QString &media = QStringLiteral("none"))
{
    return record({"t", q, media, " 0"});
}

class CompanionTest : public ::testing::Test {
protected:
    ScopedPlatform platform;
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
};
}

TEST_F(CompanionTest, TravelsWithEverySaveAndLeavesTheTestFileAsItWas)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("pics") && QDir(dir.path()).mkpath("out"));
    writeBytes(path("pics/cat.bmp"), mediaBytes("cat.bmp"));
    writeBytes(path("pics/owl.jpg"), mediaBytes("owl.jpg"));
    TestDocument doc;
    doc.setTitle("Animals");
    doc.setTeacher("Class 2");
    doc.append(mc("Which animal?", path("pics/cat.bmp")), "A grey cat\r\nasleep on\ta chair.");
    doc.append(tf("No media here"), "a description without media is not kept");
    doc.append(tf("Owl?", path("pics/owl.jpg")));
    doc.setLanguage("fr");
    const SaveResult saved = SaveTest(doc, path("out/quiz.ard"));
    ASSERT_TRUE(saved.saved()) << qPrintable(saved.errorDescription);
    EXPECT_TRUE(saved.notCopied.isEmpty()) << qPrintable(saved.notCopied.join('\n'));

    // The quiz player's file is what it would be without descriptions.
    EXPECT_EQ(readBytes(path("out/quiz.ard")), testFileBytes("Animals", "Class 2", saved.records));
    // The companion, as a teacher opening it would read it.
    EXPECT_EQ(readBytes(CompanionFile::pathFor(path("out/quiz.ard"))),
              QByteArray("{\n"
                         "    \"ardeno\": \"test companion\",\n"
                         "    \"language\": \"fr\",\n"
                         "    \"questions\": [\n"
                         "        {\n"
                         "            \"description\": \"A grey cat asleep on a chair.\",\n"
                         "            \"media\": \"cat.bmp\",\n"
                         "            \"number\": 1\n"
                         "        }\n"
                         "    ],\n"
                         "    \"version\": 1\n"
                         "}\n"));

    TestDocument loaded;
    const TestReadResult read = LoadTest(loaded, path("out/quiz.ard"));
    ASSERT_TRUE(read.test);
    EXPECT_TRUE(read.companionNotice.isEmpty());
    EXPECT_EQ(loaded.language(), QStringLiteral("fr"));
    EXPECT_EQ(loaded.descriptions(), QStringList({"A grey cat asleep on a chair.", "", ""}));

    // Nothing left to describe: the old companion goes, rather than
    // describe what the test no longer shows.
    loaded.setCompanion(TestCompanion());
    ASSERT_TRUE(SaveTest(loaded, path("out/quiz.ard")).saved());
    EXPECT_FALSE(QFile::exists(CompanionFile::pathFor(path("out/quiz.ard"))));
}

TEST(CompanionFile, EachDescriptionGoesToTheQuestionShowingItsMedia)
{
    const QStringList records = {mc("one", "/pics/map.jpg"), tf("two", "song.WAV"), mc("three", "map.jpg"),
                                 tf("four"), mc("five", "clip.avi")};
    const auto entry = [](int number, const char *media, const char *text) {
        return QStringLiteral("{\"number\": %1, \"media\": \"%2\", \"description\": \"%3\"}")
            .arg(number).arg(QLatin1String(media), QLatin1String(text));
    };
    struct Case {
        const char *what;
        QString entry;
        QStringList expected;
    };
    const Case cases[] = {
        {"its number and its media", entry(1, "map.jpg", "M"), {"M", "", "", "", ""}},
        {"letter case of the name aside", entry(2, "song.wav", "S"), {"", "S", "", "", ""}},
        {"reordered elsewhere: the one question showing the file", entry(7, "clip.avi", "C"), {"", "", "", "", "C"}},
        {"two questions show the file: neither guessed", entry(9, "map.jpg", "?"), {"", "", "", "", ""}},
        {"the question now shows something else", entry(4, "song.wav", "S"), {"", "S", "", "", ""}},
        {"media no question shows", entry(1, "gone.jpg", "G"), {"", "", "", "", ""}},
        {"a path is taken by its name", entry(3, "../../etc/map.jpg", "3"), {"", "", "3", "", ""}},
        {"line breaks and control characters", entry(5, "clip.avi", "a\\nb\\u0007c"), {"", "", "", "", "a bc"}},
    };
    for (const Case &c : cases) {
        const QByteArray bytes = QStringLiteral("{\"ardeno\": \"test companion\", \"version\": 1, \"questions\": [%1]}")
                                     .arg(c.entry).toUtf8();
        const CompanionFile::Read r = CompanionFile::parse(bytes, records);
        EXPECT_TRUE(r.problem.isEmpty()) << c.what;
        EXPECT_EQ(r.companion.descriptions, c.expected) << c.what;
    }

    // Written and read back: the same descriptions, those without media left out.
    const TestCompanion kept{"pt-BR", {"M", "S", "", "not kept: no media", "C"}};
    const CompanionFile::Read back = CompanionFile::parse(CompanionFile::bytes(kept, records), records);
    EXPECT_EQ(back.companion, (TestCompanion{"pt-BR", {"M", "S", "", "", "C"}}));
    EXPECT_TRUE(CompanionFile::bytes(TestCompanion{"", {"", "", "", "no media", ""}}, records).isEmpty());
    // The shuffle alone is worth a file, and comes back.
    const TestCompanion shuffled{"", {}, true};
    EXPECT_FALSE(shuffled.isEmpty());
    EXPECT_NE(shuffled, TestCompanion());
    EXPECT_TRUE(CompanionFile::parse(CompanionFile::bytes(shuffled, records), records).companion.shuffle);
}

TEST(CompanionFile, AnythingElseIsRefusedWithAReason)
{
    const QStringList records = {mc("one", "map.jpg")};
    const struct {
        QByteArray bytes;
        const char *reason;
    } cases[] = {
        {"", "it is not a description file of this program"},
        {"not json", "it is not a description file of this program"},
        {"[1, 2]", "it is not a description file of this program"},
        {"{\"ardeno\": \"something else\"}", "it is not a description file of this program"},
        {QByteArray(100000, '[') + QByteArray(100000, ']'), "it is not a description file of this program"},
        {"{\"ardeno\": \"test companion\", \"version\": 2}", "it was written by a newer version of this program"},
    };
    for (const auto &c : cases) {
        const CompanionFile::Read r = CompanionFile::parse(c.bytes, records);
        EXPECT_EQ(r.problem, QString::fromLatin1(c.reason)) << c.bytes.left(40).constData();
        EXPECT_TRUE(r.companion.isEmpty());
    }
    // Wrong types inside a companion are no description and no language.
    const CompanionFile::Read odd = CompanionFile::parse(
        "{\"ardeno\": \"test companion\", \"version\": 1, \"language\": \"<script>\", \"questions\": "
        "[7, {\"number\": \"1\", \"media\": [], \"description\": {}}]}", records);
    EXPECT_TRUE(odd.problem.isEmpty());
    EXPECT_TRUE(odd.companion.isEmpty());
}

TEST_F(CompanionTest, ALinkASpecialFileOrAHugeFileBesideTheTestIsNotRead)
{
    const QStringList records = {mc("one", "map.jpg")};
    const QByteArray good = CompanionFile::bytes({"fr", {"A map"}}, records);
    writeBytes(path("elsewhere.json"), good);
    writeTest(path("linked.ard"), "T", "C", records);
    ASSERT_TRUE(QFile::link(path("elsewhere.json"), CompanionFile::pathFor(path("linked.ard"))));
    writeTest(path("pipe.ard"), "T", "C", records);
    ASSERT_EQ(::mkfifo(QFile::encodeName(CompanionFile::pathFor(path("pipe.ard"))).constData(), 0600), 0);
    writeTest(path("huge.ard"), "T", "C", records);
    {
        QFile huge(CompanionFile::pathFor(path("huge.ard")));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(CompanionFile::MaxBytes + 1));
    }
    writeTest(path("plain.ard"), "T", "C", records);
    writeBytes(CompanionFile::pathFor(path("plain.ard")), good);

    for (const char *name : {"linked.ard", "pipe.ard", "huge.ard"}) {
        const TestReadResult r = readTestFile(path(name));
        ASSERT_TRUE(r.test) << name;   // the test itself opens
        EXPECT_TRUE(r.test->companion.isEmpty()) << name;
        EXPECT_TRUE(r.companionNotice.startsWith(QStringLiteral("The media descriptions in \"%1.access.json\" were "
                                                                "not read: ").arg(QLatin1String(name))))
            << qPrintable(r.companionNotice);
    }
    const TestReadResult plain = readTestFile(path("plain.ard"));
    EXPECT_EQ(plain.test->companion, (TestCompanion{"fr", {"A map"}}));
    // No companion at all is nothing to say.
    writeTest(path("bare.ard"), "T", "C", records);
    EXPECT_TRUE(readTestFile(path("bare.ard")).companionNotice.isEmpty());
}

// The lstat before the open refuses a link already there; only the open
// itself refuses one swapped in between. A loop swaps the companion with a
// link to another user's description file while the test is read: what is
// read is the test's own companion, or nothing, never the other file.
TEST_F(CompanionTest, ALinkSwappedInBetweenTheLookAndTheOpenIsNeverRead)
{
    const QStringList records = {mc("one", "map.jpg")};
    writeTest(path("race.ard"), "T", "C", records);
    writeBytes(CompanionFile::pathFor(path("race.ard")), CompanionFile::bytes({"fr", {"A map"}}, records));
    writeBytes(path("theirs.json"), CompanionFile::bytes({"de", {"Somebody else's secret"}}, records));
    const QString swap = path("swap");
    ASSERT_TRUE(QFile::link(path("theirs.json"), swap));
    std::atomic<bool> stop{false};
    const QByteArray a = QFile::encodeName(CompanionFile::pathFor(path("race.ard"))), b = QFile::encodeName(swap);
    std::thread attacker([&] {
        while (!stop)
            ::syscall(SYS_renameat2, AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE);
    });
    int own = 0;
    for (int i = 0; i < 2000; ++i) {
        const CompanionFile::Read read = CompanionFile::readBeside(path("race.ard"), records);
        EXPECT_NE(read.companion.language, QStringLiteral("de")) << "read through the link, round " << i;
        own += read.companion.language == QLatin1String("fr");
    }
    stop = true;
    attacker.join();
    EXPECT_GT(own, 0) << "the race was run on a companion that is read";
}

TEST(TestCompanion, LanguageTagsAndNamesAreTakenOnlyWhenTheyAreSo)
{
    const struct {
        const char *typed;
        const char *tag;   // nullptr: names no language
    } cases[] = {
        {"fr", "fr"}, {" pt_BR ", "pt-BR"}, {"zh-Hant-TW", "zh-Hant-TW"}, {"", ""},
        {"French (fr)", "fr"}, {"french", "fr"}, {"German (de-AT)", "de-AT"},
        {"f", nullptr}, {"fr-", nullptr}, {"<script>", nullptr}, {"Klingon!!", nullptr}, {"Nowhere (x y)", nullptr},
    };
    for (const auto &c : cases) {
        const std::optional<QString> tag = LanguageNames::tagOf(QString::fromUtf8(c.typed));
        if (c.tag)
            EXPECT_EQ(tag, std::optional<QString>(QString::fromLatin1(c.tag))) << c.typed;
        else
            EXPECT_FALSE(tag) << c.typed;
    }
    EXPECT_EQ(LanguageNames::choiceOf("fr-CA"), QStringLiteral("French (fr-CA)"));
    EXPECT_TRUE(LanguageNames::choices().contains(QStringLiteral("Welsh (cy)")));
    EXPECT_EQ(TestCompanion::cleanDescription(QString(3000, QLatin1Char('x'))).size(), TestCompanion::MaxDescription);
}
