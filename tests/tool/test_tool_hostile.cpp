// The real ardeno-tool on files built to hurt: pipes and links to devices
// named as a picture, a sound, a tune, a video, a test and a log, and a
// "test" of millions of empty lines. Each run has a bounded address
// space (ulimit -v), so a reader that would need gigabytes is killed and the
// check fails; a reader that blocks is caught by the bounded wait.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "NonRegularFiles.h"
#include "ToolRun.h"
#include "TestFiles.h"

namespace {
// The tool with Qt and its libraries mapped needs under 200 MB of address
// space. Reading a test or a log may cost a few times the file's size on top
// (15 MB of CRs once took 400 MB to refuse); a picture inside the budget
// decoded at thumbnail size a few hundred MB more, but never the gigabytes
// the hostile headers ask for.
constexpr int kDocumentLimitMb = 300;
constexpr int kPictureLimitMb = 700;

ToolRun limitedTool(const QStringList &args, int limitMb)
{
    return runProgram(QStringLiteral("bash"),
                      QStringList{"-c", QStringLiteral("ulimit -v %1 && exec \"$0\" \"$@\"").arg(limitMb * 1024),
                                  QStringLiteral(ARDENO_TOOL)} + args);
}


class SpecialFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QStringList specials(const QString &suffix)
    {
        const QStringList files = makeNonRegularFiles(dir.path(), suffix);
        EXPECT_EQ(files.size(), 2);
        return files;
    }
};
}

TEST_F(SpecialFiles, AreRefusedAtOnceAsPictureSoundTuneVideoTestAndLog)
{
    const struct {
        const char *suffix;
        QStringList command;   // the file's path goes at the end, or replaces "@"
    } uses[] = {
        {".bmp", {"pictureinfo"}},
        {".jpg", {"thumbnail", "@", "32x24", "out.png"}},
        {".wav", {"play"}},
        {".mid", {"play"}},
        {".avi", {"play"}},
        {".mp3", {"play"}},
        {".ard", {"dump"}},
        {".log", {"log2txt", "@", "out.txt"}},
    };
    for (const auto &use : uses) {
        for (const QString &path : specials(use.suffix)) {
            SCOPED_TRACE(path.toStdString());
            QStringList args = use.command;
            if (args.contains("@")) {
                args.replace(args.indexOf("@"), path);
                for (QString &a : args)
                    if (a.startsWith("out."))
                        a = dir.filePath(a);
            } else {
                args << path;
            }
            const ToolRun r = limitedTool(args, kDocumentLimitMb);
            EXPECT_EQ(r.status, 1) << r.err.constData();
            EXPECT_TRUE(r.err.contains("not a regular file")) << r.err.constData();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out.txt")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out.png")));
}

TEST(HostileFiles, MillionsOfEmptyLinesAreRefusedAsATestWithinTheLimit)
{
    QTemporaryDir dir;
    const QString crs = dir.filePath("crs.ard");
    writeBytes(crs, QByteArray(15 * 1024 * 1024, '\r'));
    const ToolRun r = limitedTool({"dump", crs}, kDocumentLimitMb);
    EXPECT_EQ(r.status, 1) << r.err.constData();
    EXPECT_TRUE(r.err.contains("crs.ard")) << r.err.constData();
}

// A display that does not answer (a closed session's DISPLAY) does not stop
// a command that needs none: the tool goes on offscreen, quietly.
TEST(HostileFiles, ADisplayThatDoesNotAnswerStopsNoFileCommand)
{
    const ToolRun r = runProgram(QStringLiteral(ARDENO_TOOL), {"media-kind", testData("media/tone.wav")}, QString(),
                                 QByteArray(), {"QT_QPA_PLATFORM=", "DISPLAY=:97", "WAYLAND_DISPLAY="});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(r.out.trimmed(), "wave");
    EXPECT_EQ(r.err, "");
}

// Moodle XML of eight questions sharing one 16 MB sound: each file's Base64
// goes from its handle into the output block by block, so the export fits
// in the address space of a plain run (it once held the whole file, and
// every copy of the sound, at once).
TEST(HostileFiles, MoodleXmlOfALargeSharedSoundIsStreamed)
{
    QTemporaryDir dir;
    QByteArray wave = QByteArray("RIFF\x24\0\0\x01WAVEfmt ", 16);
    wave.resize(16 * 1024 * 1024);
    writeBytes(dir.filePath("bell.wav"), wave);
    QStringList records;
    for (int i = 1; i <= 8; ++i)
        records << record({"t", QStringLiteral("Bell %1?").arg(i), "bell.wav", " 0"});
    writeTest(dir.filePath("bells.ard"), "Bells", "Class", records);
    const ToolRun r = limitedTool({"export", dir.filePath("bells.ard"), dir.filePath("bells.xml")}, kDocumentLimitMb);
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_GT(QFileInfo(dir.filePath("bells.xml")).size(), 8 * 4 * 16 * 1024 * 1024 / 3);
}

// A one-question GIFT file of 100 MB is read a block at a time straight from
// its bytes: it fits in little more than three times its size (it once took
// 2.4 GB, and one of 200 MB ended in std::bad_alloc).
TEST(HostileFiles, AHundredMegabyteGiftQuestionIsReadWithinThreeTimesItsSize)
{
    QTemporaryDir dir;
    QByteArray gift = "Long question ";
    gift.reserve(100 * 1024 * 1024 + 16);
    while (gift.size() < 100 * 1024 * 1024)
        gift += "word ";
    gift += "{T}\n";
    writeBytes(dir.filePath("big.gift"), gift);
    gift.clear();
    gift.squeeze();
    const ToolRun r = limitedTool({"import", dir.filePath("big.gift"), dir.filePath("big.ard")},
                                  kDocumentLimitMb + 3 * 100);
    EXPECT_EQ(r.status, 3) << r.err.constData();
    EXPECT_TRUE(r.err.contains("its question was cut to 256 characters")) << r.err.constData();
}
