#include "BmpFixture.h"
#include "NonRegularFiles.h"
#include "TestDoubles.h"
#include "avimaker/cDIB.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
class CDibTest : public ::testing::Test {
protected:
    ScopedPlatform platform;
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        writeBytes(path(name), bytes);
        return path(name);
    }
    void expectRefused(const QString &file)
    {
        ASSERT_EQ(platform.messages.shown.size(), 1);
        EXPECT_EQ(platform.messages.shown[0].text,
                  "File is not a supported bitmap format:\r\n" + file);
        EXPECT_EQ(platform.messages.shown[0].icon, MsgIcon::Information);
        EXPECT_EQ(platform.messages.shown[0].title, "Ardenox");
    }
};
}

TEST_F(CDibTest, TwentyFourBitHeaderFieldsAndBlocks)
{
    BmpSpec spec;
    spec.width = 7;   // rows padded from 21 to 24 bytes
    spec.height = 5;
    const QByteArray bytes = makeBmp(spec);
    const QString file = write("a.bmp", bytes);
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromFile(file));
    EXPECT_TRUE(platform.messages.shown.isEmpty());
    EXPECT_EQ(dib.Width(), 7);
    EXPECT_EQ(dib.Height(), 5);
    EXPECT_EQ(dib.BitCount(), 24);
    EXPECT_EQ(dib.Planes(), 1);
    EXPECT_EQ(dib.Compression(), 0);
    EXPECT_EQ(dib.SizeInfoHeader(), 40);
    EXPECT_EQ(dib.SizeImage(), 24 * 5);
    EXPECT_EQ(dib.XPPM(), 2835);
    EXPECT_EQ(dib.FileType(), 0x4D42);
    EXPECT_EQ(dib.BitOffset(), 54);
    EXPECT_EQ(dib.SizeFileHeader(), bytes.size());
    EXPECT_EQ(dib.SizeBitmapInfo(), 40);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(dib.PointerToBitmapInfo()), 40),
              bytes.mid(14, 40));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(dib.PointerToBits()), dib.SizeImage()),
              bytes.mid(54));
}

TEST_F(CDibTest, EightBitPaletteAndLargerHeadersStayInTheBitmapInfoBlock)
{
    BmpSpec spec;
    spec.bitCount = 8;
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromFile(write("p.bmp", makeBmp(spec))));
    EXPECT_EQ(dib.BitOffset(), 1078);
    EXPECT_EQ(dib.SizeBitmapInfo(), 1064);
    EXPECT_EQ(dib.ClrUsed(), 256);

    for (int infoSize : {108, 124}) {
        spec.infoSize = infoSize;
        const QByteArray bytes = makeBmp(spec);
        ASSERT_TRUE(dib.CreateFromFile(write("v.bmp", bytes)));
        EXPECT_EQ(dib.SizeInfoHeader(), infoSize);
        EXPECT_EQ(dib.Width(), 8);
        EXPECT_EQ(dib.BitCount(), 8);
        EXPECT_EQ(dib.SizeBitmapInfo(), infoSize + 1024);
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(dib.PointerToBitmapInfo()),
                             dib.SizeBitmapInfo()),
                  bytes.mid(14, infoSize + 1024));
    }
}

// A pipe would block the AVI maker and /dev/zero never ends: neither is
// opened; both are no bitmap this reader supports.
TEST_F(CDibTest, PipesAndDevicesAreNotOpened)
{
    const QStringList specials = makeNonRegularFiles(dir.path(), ".bmp");
    ASSERT_EQ(specials.size(), 2);
    for (const QString &file : specials) {
        cDIB dib;
        EXPECT_FALSE(dib.CreateFromFile(file));
        expectRefused(file);
        platform.messages.clear();
    }
}

TEST_F(CDibTest, TruncatedAndHostileHeadersAreRefusedAndKeepTheEarlierBitmap)
{
    BmpSpec spec;
    const QByteArray good = makeBmp(spec);
    cDIB dib;
    ASSERT_TRUE(dib.CreateFromFile(write("good.bmp", good)));

    auto patched = [&](int offset, quint32 value) {
        QByteArray b = good;
        qToLittleEndian<quint32>(value, reinterpret_cast<uchar *>(b.data()) + offset);
        return b;
    };
    QList<QByteArray> hostile = {
        good.left(good.size() - 1),        // pixel data cut short
        good.left(30),                     // info header cut short
        good.left(2),                      // only the signature
        patched(10, 4),                    // bfOffBits inside the file header
        patched(10, 0xFFFFFFF0u),          // bfOffBits far past the end
        patched(34, 0x80000000u),          // negative image size
        patched(34, 0x7FFFFFFFu),          // absurd image size
    };
    QByteArray huge = patched(34, 0);     // size from a width and height that overflow
    qToLittleEndian<quint32>(0x7FFFFFFF, reinterpret_cast<uchar *>(huge.data()) + 18);
    qToLittleEndian<quint32>(0x80000001u, reinterpret_cast<uchar *>(huge.data()) + 22);
    hostile.append(huge);
    for (int i = 0; i < hostile.size(); ++i) {
        platform.messages.clear();
        const QString file = write(QString("h%1.bmp").arg(i), hostile[i]);
        EXPECT_FALSE(dib.CreateFromFile(file)) << i;
        expectRefused(file);
        EXPECT_EQ(dib.SizeImage(), 144) << i;
        EXPECT_EQ(dib.Width(), 8) << i;
        EXPECT_EQ(dib.SizeBitmapInfo(), 40) << i;
    }
}
