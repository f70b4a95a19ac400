// The line codec, the Windows-1252 mapping, records, file kinds and media
// lookup.
#include "document/SpreadsheetText.h"
#include "document/FileKind.h"
#include "document/LineCodec.h"
#include "document/MediaLookup.h"
#include "document/QuestionRecord.h"
#include "document/QuestionView.h"
#include "document/TestDocument.h"
#include "document/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray allBytes()
{
    QByteArray b;
    for (int i = 0; i < 256; ++i)
        b += char(i);
    return b;
}
const QString Sep(QChar(0xA9));
}

TEST(LineCodec, BothKeysAreSelfInverseBytewiseXors)
{
    EXPECT_TRUE(LineCodec::testLine(QByteArray()).isEmpty());
    const QByteArray all = allBytes();
    for (const unsigned char key : {0x1D, 0xB6}) {
        const QByteArray s = LineCodec::apply(all, key);
        ASSERT_EQ(s.size(), 256);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(static_cast<unsigned char>(s[i]), i ^ key);
        EXPECT_EQ(LineCodec::apply(s, key), all);
    }
    EXPECT_EQ(LineCodec::testLine("A"), QByteArray(1, char('A' ^ 0x1D)));
    EXPECT_EQ(LineCodec::logLine("A"), QByteArray(1, char('A' ^ 0xB6)));
}

TEST(LineCodec, TestKeyNeverMakesALineBreakFromTextOrLineBreaks)
{
    for (int c = 0; c < 256; ++c) {
        if (c < 32 && c != '\r' && c != '\n')
            continue;
        const char s = LineCodec::testLine(QByteArray(1, char(c)))[0];
        EXPECT_TRUE(s != '\r' && s != '\n') << c;
    }
}

TEST(Windows1252, EveryByteSurvivesDecodeAndEncode)
{
    const QByteArray all = allBytes();
    const QString text = Windows1252::decode(all);
    EXPECT_EQ(Windows1252::encode(text), all);
    EXPECT_TRUE(Windows1252::unencodable(text).isEmpty());
    EXPECT_EQ(Windows1252::decode("\x80\x9f"), QStringLiteral("\u20AC\u0178"));
    // The five undefined codes pass through as C1 controls.
    for (const char16_t c : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(Windows1252::decode(QByteArray(1, char(c))), QString(QChar(c)));
    // A scrambled euro is one of them: decoding it before unscrambling is wrong.
    const QByteArray scrambledEuro = LineCodec::testLine(Windows1252::encode(QStringLiteral("\u20AC")));
    EXPECT_EQ(scrambledEuro, QByteArray("\x9d"));
    EXPECT_EQ(Windows1252::decode(LineCodec::testLine(scrambledEuro)), QStringLiteral("\u20AC"));
}

TEST(Windows1252, CharactersItCannotHoldBecomeOneQuestionMarkEach)
{
    const QString text = QStringLiteral("a\u20AC\u0416\U0001F600\u0416b");
    EXPECT_EQ(Windows1252::encode(text), QByteArray("a\x80???b"));
    EXPECT_EQ(Windows1252::unencodable(text), QStringLiteral("\u0416\U0001F600"));
}

TEST(QuestionRecord, NumbersAreWrittenWithSignPositionAndReadByValue)
{
    EXPECT_EQ(QuestionRecord::withSignPosition(2), QStringLiteral(" 2"));
    EXPECT_EQ(QuestionRecord::withSignPosition(0), QStringLiteral(" 0"));
    EXPECT_EQ(QuestionRecord::withSignPosition(-3), QStringLiteral("-3"));
    const struct { const char *text; int value; } cases[] = {
        {" 2", 2}, {"2", 2}, {"   3abc", 3}, {"-1", -1}, {"+4", 4}, {"abc", 0}, {"", 0},
        {" ", 0}, {"-", 0}, {"2.4", 2}, {"1.6", 2}, {"2.5", 2}, {"3.5", 4}, {"5.", 5},
        {"99999999999", 2147483647},
    };
    for (const auto &c : cases)
        EXPECT_EQ(QuestionRecord::numericValue(QString::fromLatin1(c.text)), c.value) << c.text;
}

TEST(QuestionRecord, AssemblyKindsAndMediaFields)
{
    using namespace QuestionRecord;
    const QString mc = multipleChoice(QStringLiteral("m"), "Q", "a", "b", "c", "d", "", 2);
    EXPECT_EQ(mc, "m" + Sep + "Q" + Sep + "a" + Sep + "b" + Sep + "c" + Sep + "d" + Sep + "none" + Sep + " 2");
    const QString tf = trueFalse(kindField(QLatin1Char('t'), 3), "Q", "pic.bmp", 1);
    EXPECT_EQ(tf, "t  3" + Sep + "Q" + Sep + "pic.bmp" + Sep + " 1");
    EXPECT_EQ(kindOf(kindField(QLatin1Char('m'), 3)), QuestionKind::MultipleChoice);
    EXPECT_EQ(kindOf(tf), QuestionKind::TrueFalse);
    EXPECT_EQ(kindOf(QStringLiteral("M")), QuestionKind::MultipleChoice);
    EXPECT_EQ(kindOf(QStringLiteral("  m")), QuestionKind::Unknown);
    EXPECT_EQ(kindOf(withoutEdgeBlanks(QStringLiteral("  m  "))), QuestionKind::MultipleChoice);
    EXPECT_EQ(withoutEdgeBlanks(QStringLiteral("  m") + Sep + "Q  "), QStringLiteral("m") + Sep + "Q");
    EXPECT_EQ(kindOf(withoutEdgeBlanks(QStringLiteral("\tm"))), QuestionKind::Unknown);   // blanks only
    EXPECT_EQ(withoutEdgeBlanks(QStringLiteral("   ")), QString());
    EXPECT_EQ(kindOf(QStringLiteral("x") + Sep + "Q"), QuestionKind::Unknown);
    EXPECT_EQ(kindOf(QString()), QuestionKind::Unknown);
    EXPECT_EQ(exactMediaFieldIndex(fields(mc)), 6);
    EXPECT_EQ(exactMediaFieldIndex(fields(tf)), 2);
    EXPECT_EQ(exactMediaFieldIndex(fields(tf + Sep)), -1);
    EXPECT_EQ(fields("t" + Sep + Sep + Sep).size(), 4);
    for (const char *none : {"none", "None", "NONE", "nOnE"})
        EXPECT_TRUE(isNoMedia(QString::fromLatin1(none)));
    EXPECT_FALSE(isNoMedia(QStringLiteral("none.bmp")));
}

// How the preview, the printout and the web page read a record: a complete
// record of a known kind shows its texts and media; any other only its kind
// field. No trimming: a leading blank is not a kind.
TEST(QuestionView, WhatAShownRecordReads)
{
    const auto sep = [](const QStringList &f) { return f.join(QuestionRecord::FieldSeparator); };
    struct Case {
        QString record;
        QuestionKind kind;
        bool complete;
        QString question;
        QStringList answers;
        QString media;
        int right;
    };
    const Case cases[] = {
        {sep({"M", "Capital?", "Rome", "Paris", "Oslo", "Bern", "none", " 1"}), QuestionKind::MultipleChoice, true,
         "Capital?", {"Rome", "Paris", "Oslo", "Bern"}, "none", 1},
        {sep({"t", "Sky is green", "pic.bmp", "1"}), QuestionKind::TrueFalse, true, "Sky is green", {}, "pic.bmp", 1},
        {sep({"t", "Q", "none", "x"}), QuestionKind::TrueFalse, true, "Q", {}, "none", 0},   // no number reads as 0
        {sep({"m  3", "Q", "a", "b"}), QuestionKind::MultipleChoice, false, "Q", {}, "", 0},
        {sep({"t", "Q", "none"}), QuestionKind::TrueFalse, false, "Q", {}, "", 0},
        {"x" + sep({"", "Q"}), QuestionKind::Unknown, false, "Q", {}, "", 0},
        {" m", QuestionKind::Unknown, false, "", {}, "", 0},
        {"", QuestionKind::Unknown, false, "", {}, "", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(qPrintable(c.record));
        const QuestionView q(c.record);
        EXPECT_EQ(q.kind(), c.kind);
        EXPECT_EQ(q.isComplete(), c.complete);
        EXPECT_EQ(q.question(), c.question);
        EXPECT_EQ(q.answers(), c.answers);
        EXPECT_EQ(q.shownMedia(), c.media);
        if (c.complete) {
            EXPECT_EQ(q.rightAnswer(), c.right);
        }
    }
    EXPECT_EQ(QuestionView(sep({"m  3", "Q", "a", "b"})).kindField(), "m  3");
}

TEST(MediaLookup, BareNamesBelongToTheTestFolderNotTheWorkingDirectory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("anna.berg/tests")));
    const QString folder = dir.filePath("anna.berg/tests") + '/';
    for (const char *name : {"anna.berg/tests/cat.bmp", "elsewhere.bmp"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());   // where a file dialog might have left it
    EXPECT_EQ(MediaLookup::resolve("cat.bmp", folder), folder + "cat.bmp");
    // A file of the name in the working directory does not stand in.
    EXPECT_EQ(MediaLookup::resolve("elsewhere.bmp", folder), QString());
    // A test that has no folder yet takes names from the working directory.
    EXPECT_EQ(MediaLookup::resolve("elsewhere.bmp", QString()), QStringLiteral("elsewhere.bmp"));
    EXPECT_EQ(MediaLookup::resolve(dir.filePath("elsewhere.bmp"), folder), dir.filePath("elsewhere.bmp"));
    EXPECT_EQ(MediaLookup::resolve("anna.berg", QString()), QString());   // a folder is no media
    QFile::copy(folder + "cat.bmp", folder + "none");
    EXPECT_EQ(MediaLookup::resolve("none", folder), QString());   // even with a file of that name
    EXPECT_EQ(MediaLookup::resolve("NONE", folder), QString());
    EXPECT_EQ(MediaLookup::testFolderOf("anna.berg/tests/quiz.ard"), folder);
    QDir::setCurrent(old);
    EXPECT_EQ(MediaLookup::folderOf(QStringLiteral("D:\\tests\\quiz.ard")), QStringLiteral("D:\\tests\\"));
    EXPECT_EQ(MediaLookup::nameOf(QStringLiteral("/a/b.ard")), QStringLiteral("b.ard"));
    EXPECT_EQ(MediaLookup::folderOf(QStringLiteral("b.ard")), QString());
}

TEST(FileKind, TheTextAfterTheFirstFullStopOfTheName)
{
    EXPECT_TRUE(hasFileKind("/home/anna.berg/tests/europe.ard", "ard"));
    EXPECT_TRUE(hasFileKind("/tmp/quiz.ARD", "ard"));
    EXPECT_TRUE(hasFileKind("/var/x.y/score.Log", "log"));
    EXPECT_TRUE(hasFileKind("C:\\My.Tests\\europe.ard", "ard"));
    EXPECT_EQ(fileKindOf("/home/anna.berg/quiz.v2.ard"), QStringLiteral("v2.ard"));
    EXPECT_FALSE(hasFileKind("/tmp/quiz.ard.bak", "ard"));
    EXPECT_FALSE(hasFileKind("/tmp/my.ard/quiz", "ard"));
    EXPECT_EQ(fileKindOf("/tmp/wav"), QStringLiteral("wav"));   // no full stop: the whole name

    EXPECT_EQ(mediaKindOf("/home/t/My.Files/song.wav"), MediaKind::Wave);
    EXPECT_EQ(mediaKindOf("picture.JPG"), MediaKind::Picture);
    EXPECT_EQ(mediaKindOf("Song.MID"), MediaKind::Midi);
    EXPECT_EQ(mediaKindOf("clip.Mpeg"), MediaKind::Mpeg);
    EXPECT_EQ(mediaKindOf("x.Wmf"), MediaKind::Picture);
    EXPECT_EQ(mediaKindOf("x.midi"), MediaKind::Midi);
    EXPECT_EQ(mediaKindOf("C:\\pics.old\\cat.bmp"), MediaKind::Picture);
    EXPECT_EQ(mediaKindOf("notes.txt"), MediaKind::None);
    EXPECT_EQ(mediaKindOf("a.tar.wav"), MediaKind::None);
    EXPECT_EQ(mediaKindOf("/tmp/mid"), MediaKind::Midi);
    EXPECT_EQ(mediaKindOf("/tmp/midx"), MediaKind::None);
    EXPECT_EQ(mediaKindName(mediaKindOf("t.Mp3")), "mp3");
    EXPECT_EQ(mediaKindName(mediaKindOf("t.AVI")), "avi");
    EXPECT_EQ(mediaKindName(MediaKind::None), "none");

    // Copies keep the kind; exchange files are named by their last full stop.
    EXPECT_EQ(numberedName("cat.bmp", 1), "cat.bmp");
    EXPECT_EQ(numberedName("map.v2.jpg", 3), "map-3.v2.jpg");
    EXPECT_EQ(numberedName("README", 2), "README-2");
    EXPECT_EQ(exchangeSuffixOf("/home/anna.berg/Unit 3.1.GIFT"), "gift");
    EXPECT_EQ(exchangeSuffixOf("/home/anna.berg/questions"), "");
}

TEST(SpreadsheetText, FormulasGuardedAndGivenBackWhole)
{
    const struct {
        const char *text;
        const char *cell;
    } cases[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
        {"-1+2", "'-1+2"},
        {"@SUM(1+1)", "'@SUM(1+1)"},
        {"Bob;=1+1", "\"Bob;=1+1\""},          // a spreadsheet splitting on ';' gets one cell
        {"\tTab", "\"'\tTab\""},
        {"'=already", "''=already"},            // the teacher's own apostrophe survives
        {"'plain", "'plain"},
        {"-0.33", "-0.33"},                     // a number stays a number
        {"-", "-"},
        {"42", "42"},
        {"Anna", "Anna"},
        {" padded ", "\" padded \""},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(SpreadsheetText::cell(text), QString::fromUtf8(c.cell)) << c.text;
        EXPECT_EQ(SpreadsheetText::unguarded(SpreadsheetText::guarded(text)), text) << c.text;
    }
}
