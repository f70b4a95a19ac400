// ardeno-tool bmpinfo and avi as scripts use them: output format, exit codes
// and messages on stderr.

#include "BmpFixture.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
struct ToolRun {
    int code = -1;
    QByteArray out, err;
};

ToolRun tool(const QStringList &args, const QString &moduleDir = QString())
{
    QProcess p;
    if (!moduleDir.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ARDENO_MODULE_DIR"), moduleDir);
        p.setProcessEnvironment(env);
    }
    p.start(QStringLiteral(ARDENO_TOOL), args);
    p.waitForFinished(120000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}
}

TEST(AviTool, BmpinfoPrintsTheHeaderFieldsInOrder)
{
    QTemporaryDir dir;
    BmpSpec spec;
    spec.width = 5;
    spec.bitCount = 8;
    writeBytes(dir.filePath("p.bmp"), makeBmp(spec));
    const ToolRun r = tool({"bmpinfo", dir.filePath("p.bmp")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("{\"BitCount\": 8, \"Height\": 6, \"Width\": 5, \"Compression\": 0, "
                                 "\"SizeInfoHeader\": 40, \"SizeImage\": 48, \"Planes\": 1,"));
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(o.size(), 15);
    EXPECT_EQ(o["BitOffset"].toInt(), 1078);
    EXPECT_EQ(o["SizeBitmapInfo"].toInt(), 1064);
    EXPECT_EQ(o["FileType"].toInt(), 19778);

    QByteArray bad = makeBmp(spec);
    bad[0] = 'X';
    writeBytes(dir.filePath("bad.bmp"), bad);
    const ToolRun refused = tool({"bmpinfo", dir.filePath("bad.bmp")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains("File is not a supported bitmap format:"));
}

TEST(AviTool, AviSkipsOtherFormatsAndFailsWhenNothingIsWritten)
{
    QTemporaryDir dir;
    BmpSpec spec;
    spec.width = 16;
    spec.height = 8;
    writeBytes(dir.filePath("a.bmp"), makeBmp(spec));
    writeBytes(dir.filePath("c.bmp"), makeBmp(spec));
    BmpSpec other = spec;
    other.bitCount = 8;
    writeBytes(dir.filePath("b.bmp"), makeBmp(other));

    const QString out = dir.filePath("out.avi");
    const ToolRun r = tool({"avi", out, "--fps", "12.5", "--codec", "mjpeg", dir.filePath("a.bmp"),
                        dir.filePath("b.bmp"), dir.filePath("c.bmp")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Chosen bitmap file is a different format!"));
    EXPECT_TRUE(r.out.contains("Frame number 1 saved\nFinished!"));
    EXPECT_FALSE(r.out.contains("Frame number 2"));
    const QByteArray avi = readBytes(out);
    EXPECT_TRUE(avi.contains("MJPG"));

    EXPECT_EQ(tool({"avi", dir.filePath("none.avi"), "--fps", "6", dir.filePath("missing.bmp")}).code, 1);
    EXPECT_EQ(tool({"avi", out, "--fps", "6", "--codec", "divx", dir.filePath("a.bmp")}).code, 2);
    EXPECT_EQ(tool({"avi", out, dir.filePath("a.bmp")}).code, 2);   // --fps is required
}

TEST(AviTool, WithoutTheEncoderModuleOnlyFullFramesAreWritten)
{
    // The encoders are a module loaded on first use; where it is missing the
    // tool says so instead of blaming the bitmaps, and full frames still work.
    QTemporaryDir dir, noModules;
    BmpSpec spec;
    spec.width = 16;
    spec.height = 8;
    writeBytes(dir.filePath("a.bmp"), makeBmp(spec));
    const ToolRun refused = tool({"avi", dir.filePath("m.avi"), "--fps", "5", "--codec", "mjpeg",
                                  dir.filePath("a.bmp")}, noModules.path());
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains("the video encoders could not be loaded")) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("libardeno_encoders.so not found"));
    const ToolRun plain = tool({"avi", dir.filePath("f.avi"), "--fps", "5", dir.filePath("a.bmp")},
                               noModules.path());
    EXPECT_EQ(plain.code, 0) << plain.err.toStdString();
    EXPECT_TRUE(readBytes(dir.filePath("f.avi")).contains("00db"));
}

TEST(AviTool, AFullDiskKeepsThePreviousVideoAndLeavesNoPartOfTheNewOne)
{
    // The tool runs as a program whose files may not grow past 100 KB; the
    // six frames need about 350 KB.
    QTemporaryDir frames, folder;
    BmpSpec spec;
    spec.width = 160;
    spec.height = 120;
    const QString out = folder.filePath("lesson.avi");
    QStringList args{"avi", out, "--fps", "6"};
    for (int i = 0; i < 6; ++i) {
        spec.seed = i;
        args << frames.filePath(QString("f%1.bmp").arg(i));
        writeBytes(args.last(), makeBmp(spec));
    }
    writeBytes(out, "the previous video");
    QProcess p;
    limitFileSize(p, 100 * 1024);
    p.start(QStringLiteral(ARDENO_TOOL), args);
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(err.contains("There was an error writing the file.\n\n" + out + ": File too large"))
        << err.toStdString();
    EXPECT_EQ(readBytes(out), QByteArray("the previous video"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"lesson.avi"});
}
