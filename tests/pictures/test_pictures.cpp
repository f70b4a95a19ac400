// Picture loading: sizes on screen and on paper, pixels where the drawing
// is, damaged files refused without a crash, reduced-size decoding.

#include "pictures/BitmapInfoHeader.h"
#include "pictures/PictureLoader.h"
#include "pictures/WmfReader.h"
#include "NonRegularFiles.h"
#include "TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString data(const QString &name)
{
    // The folder is also compiled in: the environment does not reach every
    // way these tests are started.
    QString root = qEnvironmentVariable("ARDENO_TEST_DATA");
    if (root.isEmpty())
        root = QStringLiteral(ARDENO_PICTURES_TEST_DATA);
    return root + QStringLiteral("/pictures/") + name;
}

// Near a colour, allowing for JPEG and anti-aliasing.
::testing::AssertionResult near(QRgb actual, QColor expected, int tolerance = 40)
{
    const QColor a = QColor::fromRgba(actual);
    if (qAbs(a.red() - expected.red()) <= tolerance && qAbs(a.green() - expected.green()) <= tolerance
        && qAbs(a.blue() - expected.blue()) <= tolerance && a.alpha() > 200)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a.name(QColor::HexArgb).toStdString() << " is not near "
                                         << expected.name().toStdString();
}

// One reader of bitmap headers: the OS/2 core header with 16-bit sizes, the
// Windows header and its longer versions; anything else, or too short, is
// no header.
TEST(BitmapInfoHeader, KnownLengthsOnly)
{
    const auto le16 = [](int v) { return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF); };
    const auto le32 = [&](qint64 v) { return le16(int(v & 0xFFFF)) + le16(int((v >> 16) & 0xFFFF)); };
    const QByteArray core = le32(12) + le16(300) + le16(200) + le16(1) + le16(24);
    const auto c = BitmapInfoHeader::read(reinterpret_cast<const uchar *>(core.constData()), core.size());
    ASSERT_TRUE(c && c->isCore());
    EXPECT_EQ(c->width, 300);
    EXPECT_EQ(c->height, 200);
    EXPECT_EQ(c->bitCount, 24);

    QByteArray v4 = le32(108) + le32(40) + le32(-30) + le16(1) + le16(24) + le32(0) + le32(0) + le32(3780) + le32(3780);
    v4 += QByteArray(108 - v4.size(), '\0');
    const QByteArray file = "BM" + le32(14 + 108 + 3600) + le32(0) + le32(14 + 108) + v4;
    quint32 offBits = 0;
    const auto h = BitmapInfoHeader::ofFile(file, &offBits);
    ASSERT_TRUE(h);
    EXPECT_EQ(offBits, 122u);
    EXPECT_EQ(h->height, -30);   // top row first
    EXPECT_EQ(h->rowBytes(), 120);
    EXPECT_EQ(h->xPelsPerMeter, 3780);

    QByteArray odd = v4;
    odd.replace(0, 4, le32(64));   // an OS/2 2.x header: not read
    EXPECT_FALSE(BitmapInfoHeader::read(reinterpret_cast<const uchar *>(odd.constData()), odd.size()));
    EXPECT_FALSE(BitmapInfoHeader::read(reinterpret_cast<const uchar *>(v4.constData()), 39));
    EXPECT_FALSE(BitmapInfoHeader::ofFile("GIF89a"));
}

TEST(PictureLoader, BitmapSizesAndPixels)
{
    const LoadedPicture p = loadPicture(data("redblue-40x30.bmp"));
    ASSERT_FALSE(p.isNull()) << p.error.toStdString();
    EXPECT_EQ(p.image.size(), QSize(40, 30));
    EXPECT_EQ(p.naturalPixels, QSize(40, 30));
    // No resolution in the file: 96 dpi.
    EXPECT_NEAR(p.naturalSizeMm.width(), 40 / 96.0 * 25.4, 0.01);
    EXPECT_NEAR(p.naturalSizeMm.height(), 30 / 96.0 * 25.4, 0.01);
    EXPECT_TRUE(near(p.image.pixel(5, 5), Qt::red, 0));
    EXPECT_TRUE(near(p.image.pixel(35, 25), Qt::blue, 0));

    // A 300-dpi bitmap keeps its pixel size on screen but is smaller on paper.
    const PictureInfo dense = pictureInfo(data("redblue-300dpi.bmp"));
    EXPECT_EQ(dense.naturalPixels, QSize(40, 30));
    EXPECT_NEAR(dense.naturalSizeMm.width(), 40 / 300.0 * 25.4, 0.01);
    EXPECT_EQ(dense.format, "bmp");
}

TEST(PictureLoader, PlaceableMetafileIsDrawnInItsFrame)
{
    const LoadedPicture p = loadPicture(data("shapes.wmf"));
    ASSERT_FALSE(p.isNull()) << p.error.toStdString();
    // 2 by 1 inch: 192 by 96 pixels at 96 dpi, 50.8 by 25.4 mm on paper.
    EXPECT_EQ(p.image.size(), QSize(192, 96));
    EXPECT_NEAR(p.naturalSizeMm.width(), 50.8, 0.001);
    EXPECT_NEAR(p.naturalSizeMm.height(), 25.4, 0.001);
    // The red square spans 200..1240 of 2880 units: pixels 13..83.
    EXPECT_TRUE(near(p.image.pixel(48, 48), Qt::red, 0));
    EXPECT_TRUE(near(p.image.pixel(16, 16), Qt::red, 0));
    // The blue ellipse is centred at 2100, 720 units: pixel 140, 48.
    EXPECT_TRUE(near(p.image.pixel(140, 48), Qt::blue, 0));
    // Filled solidly although the background mode is transparent.
    EXPECT_EQ(qAlpha(p.image.pixel(140, 48)), 255);
    // Outside the drawing the picture is transparent (the box shows through).
    EXPECT_EQ(qAlpha(p.image.pixel(2, 2)), 0);
    EXPECT_EQ(qAlpha(p.image.pixel(120, 5)), 0);
    // The caption at the bottom left leaves dark pixels.
    int dark = 0;
    for (int y = 84; y < 96; ++y)
        for (int x = 4; x < 60; ++x)
            dark += qAlpha(p.image.pixel(x, y)) > 128 && qGray(p.image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 10);

    // The same records without the placeable header: framed by their window.
    const LoadedPicture plain = loadPicture(data("shapes-plain.wmf"));
    ASSERT_FALSE(plain.isNull()) << plain.error.toStdString();
    EXPECT_EQ(plain.image.size(), QSize(192, 96));
    EXPECT_TRUE(near(plain.image.pixel(48, 48), Qt::red, 0));
}

TEST(PictureLoader, DamagedFilesGiveAnErrorNotACrash)
{
    for (const char *name : {"truncated.wmf", "header-only.wmf", "huge-bbox.wmf", "zero-inch.wmf",
                             "bad-record-size.wmf", "bad-polygon.wmf", "bad-bitmap-header.wmf",
                             "truncated.jpg",
                             "not-a-picture.jpg", "truncated.bmp", "no-such-file.bmp"}) {
        SCOPED_TRACE(name);
        const LoadedPicture p = loadPicture(data(name));
        EXPECT_TRUE(p.isNull());
        EXPECT_FALSE(p.error.isEmpty());
        EXPECT_TRUE(p.error.startsWith(QString::fromLatin1(name))) << p.error.toStdString();
        QString error;
        EXPECT_TRUE(loadPictureScaled(data(name), QSize(20, 20), &error).isNull());
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(PictureLoader, EveryTruncationAndRandomDamageOfAMetafileIsSurvived)
{
    const QByteArray good = readBytes(data("shapes.wmf"));
    ASSERT_FALSE(good.isEmpty());
    for (int n = 0; n < good.size(); ++n) {
        QString error;
        const QImage image = Wmf::render(good.left(n), QSize(48, 24), &error);
        EXPECT_TRUE(image.isNull() != error.isEmpty()) << "length " << n;
    }
    QRandomGenerator random(20261206);
    for (int round = 0; round < 400; ++round) {
        QByteArray bad = good;
        const int flips = 1 + int(random.bounded(6));
        for (int i = 0; i < flips; ++i)
            bad[int(random.bounded(quint32(bad.size())))] = char(random.bounded(256));
        QString error;
        const QImage image = Wmf::render(bad, QSize(48, 24), &error);
        EXPECT_TRUE(image.isNull() != error.isEmpty()) << "round " << round;
        Wmf::readInfo(bad);
    }
}

TEST(PictureLoader, ScaledLoadGivesExactlyTheAskedSize)
{
    QTemporaryDir dir;
    // 1600 by 1200, left half red, right half blue: decoded at 1/8 for a thumbnail.
    QImage big(1600, 1200, QImage::Format_RGB32);
    big.fill(Qt::blue);
    for (int y = 0; y < 1200; ++y)
        for (int x = 0; x < 800; ++x)
            big.setPixel(x, y, qRgb(255, 0, 0));
    const QString path = dir.filePath("big.jpg");
    ASSERT_TRUE(big.save(path, "JPEG", 90));

    QString error;
    const QImage thumb = loadPictureScaled(path, QSize(117, 88), &error);
    ASSERT_FALSE(thumb.isNull()) << error.toStdString();
    EXPECT_EQ(thumb.size(), QSize(117, 88));
    EXPECT_TRUE(near(thumb.pixel(20, 44), Qt::red));
    EXPECT_TRUE(near(thumb.pixel(97, 44), Qt::blue));

    // Not proportional, and larger than natural: still exactly that size.
    EXPECT_EQ(loadPictureScaled(data("redblue-40x30.bmp"), QSize(7, 90)).size(), QSize(7, 90));
    EXPECT_EQ(loadPictureScaled(data("gradient-200x100.jpg"), QSize(300, 20)).size(), QSize(300, 20));

    // A metafile is drawn at the asked size, not shrunk from its natural one.
    const QImage wmf = loadPictureScaled(data("shapes.wmf"), QSize(96, 48), &error);
    ASSERT_EQ(wmf.size(), QSize(96, 48)) << error.toStdString();
    EXPECT_TRUE(near(wmf.pixel(24, 24), Qt::red, 0));
    EXPECT_TRUE(near(wmf.pixel(70, 24), Qt::blue, 0));

    EXPECT_TRUE(loadPictureScaled(data("shapes.wmf"), QSize(0, 10), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(loadPictureScaled(data("shapes.wmf"), QSize(40000, 10), &error).isNull());
}

TEST(PictureLoader, PictureSizeChecksWithoutDecoding)
{
    // Whole headers, damaged data: refused by the measuring step already.
    for (const char *name : {"truncated.jpg", "truncated.wmf", "truncated.bmp", "bad-polygon.wmf",
                             "bad-record-size.wmf"}) {
        SCOPED_TRACE(name);
        const PictureInfo info = pictureInfo(data(name));
        EXPECT_FALSE(info.isValid());
        EXPECT_FALSE(info.error.isEmpty());
    }

    // A JPEG whose frame header claims 30000 by 20000 pixels: refused at
    // once from its header, although decoding it would need gigabytes.
    QByteArray jpeg = readBytes(data("gradient-200x100.jpg"));
    const int sof = jpeg.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    jpeg[sof + 5] = char(20000 >> 8);
    jpeg[sof + 6] = char(20000 & 0xFF);
    jpeg[sof + 7] = char(30000 >> 8);
    jpeg[sof + 8] = char(30000 & 0xFF);
    QTemporaryDir dir;
    const QString claimed = writeBytes(dir.filePath("claimed.jpg"), jpeg);
    EXPECT_FALSE(pictureSize(claimed).isValid());
    EXPECT_TRUE(pictureInfo(claimed).error.contains("30000 × 20000 pixels"));
    EXPECT_TRUE(loadPicture(claimed).isNull());

    // The extension does not decide: a bitmap named .jpg is a bitmap.
    const QString misnamed = writeBytes(dir.filePath("misnamed.jpg"), readBytes(data("redblue-40x30.bmp")));
    EXPECT_EQ(pictureInfo(misnamed).format, "bmp");
    EXPECT_FALSE(loadPicture(misnamed).isNull());

    EXPECT_FALSE(pictureSize(data("no-such-file.wmf")).isValid());
    EXPECT_FALSE(pictureSize(data("huge-bbox.wmf")).isValid());
}

QString hostile(const QString &name)
{
    return QFileInfo(data(name)).absolutePath() + QStringLiteral("/../hostile/") + name;
}

// Files written by scripts/make-hostile-pictures.py: tiny, but their headers
// claim more pixels than the budget. Each is refused from its header, with
// a message naming the file and the size it claims, by every entry point.
TEST(PictureBudget, ClaimsAboveTheBudgetAreRefusedNamingFileAndSize)
{
    const struct {
        const char *name;
        const char *size;
    } claims[] = {
        {"claims-32000x32000-progressive.jpg", "32000 × 32000 pixels"},
        {"claims-32000x32000-baseline.jpg", "32000 × 32000 pixels"},
        {"claims-65535x65535.gif", "65535 × 65535 pixels"},
        {"claims-30000x30000-rle.bmp", "30000 × 30000 pixels"},
        {"claims-20000x20000-truncated.bmp", "20000 × 20000 pixels"},
    };
    for (const auto &c : claims) {
        SCOPED_TRACE(c.name);
        const QString path = hostile(c.name);
        ASSERT_TRUE(QFileInfo::exists(path));
        const PictureInfo info = pictureInfo(path);
        EXPECT_FALSE(info.isValid());
        EXPECT_TRUE(info.error.startsWith(QString::fromLatin1(c.name))) << info.error.toStdString();
        EXPECT_TRUE(info.error.contains(QString::fromUtf8(c.size))) << info.error.toStdString();
        QString error;
        EXPECT_TRUE(loadPictureScaled(path, QSize(64, 48), &error).isNull());
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.size))) << error.toStdString();
        QImage page(50, 50, QImage::Format_RGB32);
        QPainter painter(&page);
        EXPECT_FALSE(drawPicture(painter, QRectF(0, 0, 50, 50), path, &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.size))) << error.toStdString();
    }
    // A metafile whose frame is absurdly large is refused too.
    EXPECT_FALSE(pictureInfo(data("huge-bbox.wmf")).isValid());
}

} // namespace

int main(int argc, char **argv)
{
    // Text in metafiles needs the font database of a GUI application; the
    // test list is also read without the test environment, so no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
