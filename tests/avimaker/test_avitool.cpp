// ardeno-tool bmpinfo and avi as scripts use them: output format, exit codes
// and messages on stderr.

#include "BmpFixture.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <QImage>
#include <QtEndian>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>
#include <functional>

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

namespace {
// A bottom-up bitmap with a 124-byte header and colour masks; colour(x, y)
// gives the stored pixel of picture row y (0 at the top).
QByteArray maskedBitmap(int width, int height, int bits, quint32 r, quint32 g, quint32 b,
                        const std::function<quint32(int, int)> &colour)
{
    QByteArray info(124, '\0');
    auto *p = reinterpret_cast<uchar *>(info.data());
    qToLittleEndian<quint32>(124, p);
    qToLittleEndian<qint32>(width, p + 4);
    qToLittleEndian<qint32>(height, p + 8);
    qToLittleEndian<quint16>(1, p + 12);
    qToLittleEndian<quint16>(quint16(bits), p + 14);
    qToLittleEndian<quint32>(3, p + 16);   // BI_BITFIELDS
    qToLittleEndian<quint32>(r, p + 40);
    qToLittleEndian<quint32>(g, p + 44);
    qToLittleEndian<quint32>(b, p + 48);
    const int stride = ((width * bits + 31) / 32) * 4;
    QByteArray pixels(stride * height, '\0');
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            auto *at = reinterpret_cast<uchar *>(pixels.data()) + (height - 1 - row) * stride + x * bits / 8;
            if (bits == 16)
                qToLittleEndian<quint16>(quint16(colour(x, row)), at);
            else
                qToLittleEndian<quint32>(colour(x, row), at);
        }
    QByteArray file("BM");
    file.resize(14);
    qToLittleEndian<quint32>(quint32(14 + info.size() + pixels.size()), reinterpret_cast<uchar *>(file.data()) + 2);
    qToLittleEndian<quint32>(0, reinterpret_cast<uchar *>(file.data()) + 6);
    qToLittleEndian<quint32>(quint32(14 + info.size()), reinterpret_cast<uchar *>(file.data()) + 10);
    return file + info + pixels;
}
}

// Bitmaps whose header carries colour masks (5-5-5 in 16 bits, 8-8-8 in 32)
// play in their own colours: the player reads the masks instead of taking
// every 16-bit picture for 5-6-5.
TEST(AviTool, MaskedBitmapsPlayInTheirOwnColours)
{
    constexpr int W = 40, H = 20;
    const auto five = [](int v) { return (v << 3) | (v >> 2); };   // 5 bits to 8, as players widen them
    const struct {
        int bits;
        quint32 r, g, b;
        std::function<quint32(int, int)> stored;
        std::function<QRgb(int, int)> shown;
    } cases[] = {
        {16, 0x7C00, 0x03E0, 0x001F,
         [](int x, int y) { return quint32(((x * 31 / (W - 1)) << 10) | ((y * 31 / (H - 1)) << 5) | 15); },
         [&](int x, int y) { return qRgb(five(x * 31 / (W - 1)), five(y * 31 / (H - 1)), five(15)); }},
        {32, 0xFF0000, 0xFF00, 0xFF,
         [](int x, int y) { return quint32((x * 255 / (W - 1)) << 16 | (y * 255 / (H - 1)) << 8 | 50); },
         [](int x, int y) { return qRgb(x * 255 / (W - 1), y * 255 / (H - 1), 50); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bits);
        QTemporaryDir dir;
        QStringList frames;
        for (int i = 0; i < 2; ++i) {
            frames << dir.filePath(QString("f%1.bmp").arg(i));
            writeBytes(frames.last(), maskedBitmap(W, H, c.bits, c.r, c.g, c.b, c.stored));
        }
        const ToolRun made = tool(QStringList{"avi", dir.filePath("masks.avi"), "--fps", "5"} + frames);
        ASSERT_EQ(made.code, 0) << made.err.toStdString();
        const ToolRun shown = tool({"frame", dir.filePath("masks.avi"), "0", dir.filePath("frame.png")});
        ASSERT_EQ(shown.code, 0) << shown.err.toStdString();
        const QImage frame(dir.filePath("frame.png"));
        ASSERT_EQ(frame.size(), QSize(W, H));
        int worst = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const QRgb got = frame.pixel(x, y), want = c.shown(x, y);
                worst = std::max({worst, qAbs(qRed(got) - qRed(want)), qAbs(qGreen(got) - qGreen(want)),
                                  qAbs(qBlue(got) - qBlue(want))});
            }
        // Five bits widen to eight in more than one way (31 is 248 or 255).
        EXPECT_LE(worst, c.bits == 16 ? 7 : 0);
    }
}
