// ardeno-tool avi as scripts use it, on bitmaps whose colours need their
// masks read.

#include "BmpFixture.h"
#include "ToolRun.h"

#include <QImage>
#include <QtEndian>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>

namespace {
ToolRun tool(const QStringList &args) { return runProgram(QStringLiteral(ARDENO_TOOL), args); }
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
            BmpSpec masked;
            masked.width = W;
            masked.height = H;
            masked.bitCount = c.bits;
            masked.infoSize = 124;
            masked.compression = 3;
            masked.masks[0] = c.r;
            masked.masks[1] = c.g;
            masked.masks[2] = c.b;
            masked.pixel = c.stored;
            writeBytes(frames.last(), makeBmp(masked));
        }
        const ToolRun made = tool(QStringList{"avi", dir.filePath("masks.avi"), "--fps", "5"} + frames);
        ASSERT_EQ(made.status, 0) << made.err.toStdString();
        const ToolRun shown = tool({"frame", dir.filePath("masks.avi"), "0", dir.filePath("frame.png")});
        ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
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
