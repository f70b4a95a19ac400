// Every AVI the AVI maker writes plays: bitmaps of every kind it accepts,
// written by the maker's own writer as full frames and decoded through the
// player's path (the picture the box shows at a time), compared pixel by
// pixel with the bitmaps as Qt reads them.
#include "avimaker/AviMaker.h"
#include "avimaker/ScriptedAviView.h"
#include "avimaker/BmpFixture.h"
#include "avimaker/FrameEncoder.h"
#include "TestDoubles.h"
#include "media/VideoPictureAt.h"
#include "avimaker/cDIB.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
// An 8-bit bitmap's rows run-length encoded (BI_RLE8): runs of equal bytes,
// end of line after each row, end of bitmap at the end.
QByteArray rle8(const BmpSpec &s)
{
    const QByteArray px = bmpPixels(s);
    const int stride = bmpStride(s.width, 8);
    QByteArray out;
    for (int y = 0; y < s.height; ++y) {
        const char *row = px.constData() + y * stride;
        for (int x = 0; x < s.width;) {
            int n = 1;
            while (x + n < s.width && n < 255 && row[x + n] == row[x])
                ++n;
            out.append(char(n)).append(row[x]);
            x += n;
        }
        out.append('\0').append('\0');
    }
    out.append('\0').append('\1');
    return out;
}

QByteArray makeRle8Bmp(const BmpSpec &s)
{
    QByteArray plain = makeBmp(s);
    const QByteArray rle = rle8(s);
    const int offBits = 14 + s.infoSize + 256 * 4;
    plain.truncate(offBits);
    auto *p = reinterpret_cast<uchar *>(plain.data());
    qToLittleEndian<quint32>(1, p + 14 + 16);                       // BI_RLE8
    qToLittleEndian<quint32>(quint32(rle.size()), p + 14 + 20);
    qToLittleEndian<quint32>(quint32(offBits + rle.size()), p + 2);
    return plain + rle;
}

// Largest difference of any colour channel, and the mean difference.
struct Difference {
    int most = 0;
    double mean = 0;
};

Difference compare(const QImage &a, const QImage &b)
{
    Difference d;
    if (a.size() != b.size()) {
        d.most = 256;
        return d;
    }
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int dr = std::abs(qRed(p) - qRed(q)), dg = std::abs(qGreen(p) - qGreen(q)),
                      db = std::abs(qBlue(p) - qBlue(q));
            d.most = std::max({d.most, dr, dg, db});
            sum += dr + dg + db;
        }
    d.mean = double(sum) / (3.0 * a.width() * a.height());
    return d;
}

class RoundTrip : public ::testing::Test {
protected:
    ScopedPlatform platform;
    QTemporaryDir dir;

    // Writes `frames` bitmap files as one AVI at 5 frames per second.
    QString writeAvi(const QList<QByteArray> &frames, quint32 fourcc = 0, const QString &name = "out.avi")
    {
        QStringList files;
        for (int i = 0; i < frames.size(); ++i) {
            files << dir.filePath(QString("frame%1.bmp").arg(i));
            writeBytes(files.last(), frames[i]);
        }
        ScriptedAviView view;
        view.options.fccHandler = fourcc;
        view.options.dwFlags = AVICOMPRESSF_VALID | AVICOMPRESSF_KEYFRAMES;
        view.options.dwKeyFrameEvery = 2;
        const QString out = dir.filePath(name);
        const AviWriteResult r = writeAviFromList(out, files, "5", view);
        EXPECT_EQ(r.status, AVIERR_OK);
        EXPECT_TRUE(r.finished);
        return out;
    }

    // The picture shown at each frame's time is that frame, exactly.
    void expectExact(const QList<QByteArray> &bitmaps, const QString &avi)
    {
        for (int i = 0; i < bitmaps.size(); ++i) {
            SCOPED_TRACE(i);
            QString why;
            const QImage shown = videoPictureAt(avi, i * 0.2 + 0.1, &why);
            ASSERT_FALSE(shown.isNull()) << why.toStdString();
            const QImage expected = QImage::fromData(bitmaps[i], "BMP");
            ASSERT_FALSE(expected.isNull());
            const Difference d = compare(shown, expected);
            EXPECT_EQ(d.most, 0) << "mean " << d.mean;
        }
    }
};

TEST_F(RoundTrip, FullFramesOfEveryBitmapKindShowTheirExactPixels)
{
    struct Kind {
        const char *name;
        int width, height, bitCount, infoSize;
        bool rle;
    };
    const Kind kinds[] = {
        {"1 bit", 13, 7, 1, 40, false},           {"4 bit", 13, 7, 4, 40, false},
        {"8 bit", 13, 7, 8, 40, false},           {"8 bit run-length", 13, 7, 8, 40, true},
        {"16 bit 5-5-5", 13, 7, 16, 40, false},   {"24 bit", 13, 7, 24, 40, false},
        {"32 bit", 13, 7, 32, 40, false},         {"24 bit top-down", 13, -7, 24, 40, false},
        {"8 bit top-down", 12, -6, 8, 40, false}, {"24 bit, 124-byte header", 14, 9, 24, 124, false},
        {"8 bit, 124-byte header", 15, 9, 8, 124, false}, {"24 bit, even size", 64, 48, 24, 40, false},
    };
    for (const Kind &k : kinds) {
        SCOPED_TRACE(k.name);
        QList<QByteArray> bitmaps;
        for (int seed = 0; seed < 3; ++seed) {
            BmpSpec s;
            s.width = k.width;
            s.height = k.height;
            s.bitCount = k.bitCount;
            s.infoSize = k.infoSize;
            s.seed = seed;
            bitmaps << (k.rle ? makeRle8Bmp(s) : makeBmp(s));
        }
        expectExact(bitmaps, writeAvi(bitmaps));
    }
    EXPECT_TRUE(platform.messages.shown.isEmpty());
}

} // namespace
