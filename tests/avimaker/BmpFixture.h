#pragma once
// Builds BMP files byte by byte for the tests, so every header field is
// under the test's control (sizes, header versions, palettes, hostile values).

#include "TestFiles.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <functional>

struct BmpSpec {
    int width = 8;
    int height = 6;          // negative: top-down rows
    int bitCount = 24;
    int infoSize = 40;       // 40, 108, 124
    int paletteEntries = -1; // -1: 256 for 8 bit, 16 for 4 bit, 2 for 1 bit, else 0
    bool zeroSizeImage = false;
    quint32 compression = 0; // 3 (BI_BITFIELDS): the masks below are written
    quint32 masks[3] = {0, 0, 0};
    int seed = 0;            // varies the pixels between frames
    // When set, the 16- or 32-bit pixel stored at (x, y), y = 0 the top row.
    std::function<quint32(int, int)> pixel;
};

inline int bmpStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

// The pixel bytes as stored, padding included (padding bytes zero).
inline QByteArray bmpPixels(const BmpSpec &s)
{
    const int rows = s.height < 0 ? -s.height : s.height;
    const int stride = bmpStride(s.width, s.bitCount);
    QByteArray px(stride * rows, '\0');
    for (int y = 0; y < rows; ++y)
        for (int b = 0; b < (s.width * s.bitCount + 7) / 8; ++b)
            px[y * stride + b] = char((y * 31 + b * 7 + s.seed * 53) & 0xFF);
    for (int y = 0; s.pixel && y < rows; ++y)
        for (int x = 0; x < s.width; ++x) {
            auto *at = reinterpret_cast<uchar *>(px.data()) + (s.height > 0 ? rows - 1 - y : y) * stride
                       + x * s.bitCount / 8;
            if (s.bitCount == 16)
                qToLittleEndian<quint16>(quint16(s.pixel(x, y)), at);
            else
                qToLittleEndian<quint32>(s.pixel(x, y), at);
        }
    return px;
}

inline QByteArray bmpPalette(const BmpSpec &s)
{
    int n = s.paletteEntries;
    if (n < 0)
        n = s.bitCount <= 8 ? (1 << s.bitCount) : 0;
    QByteArray pal(n * 4, '\0');
    for (int i = 0; i < n; ++i) {
        pal[i * 4 + 0] = char(i);              // blue
        pal[i * 4 + 1] = char(255 - i);        // green
        pal[i * 4 + 2] = char((i * 5) & 0xFF); // red
    }
    return pal;
}

inline QByteArray makeBmp(const BmpSpec &s)
{
    const QByteArray pixels = bmpPixels(s);
    const QByteArray palette = bmpPalette(s);
    QByteArray info(s.infoSize, '\0');
    auto *p = reinterpret_cast<uchar *>(info.data());
    qToLittleEndian<quint32>(quint32(s.infoSize), p);
    qToLittleEndian<qint32>(s.width, p + 4);
    qToLittleEndian<qint32>(s.height, p + 8);
    qToLittleEndian<quint16>(1, p + 12);
    qToLittleEndian<quint16>(quint16(s.bitCount), p + 14);
    qToLittleEndian<quint32>(s.compression, p + 16);
    qToLittleEndian<quint32>(s.zeroSizeImage ? 0 : quint32(pixels.size()), p + 20);
    qToLittleEndian<qint32>(2835, p + 24);
    qToLittleEndian<qint32>(2835, p + 28);
    qToLittleEndian<quint32>(quint32(palette.size() / 4), p + 32);
    for (int i = 0; s.compression == 3 && i < 3; ++i)
        qToLittleEndian<quint32>(s.masks[i], p + 40 + 4 * i);
    if (s.infoSize >= 108) {
        qToLittleEndian<quint32>(0x73524742, p + 56);   // 'sRGB'
    }
    const quint32 offBits = quint32(14 + info.size() + palette.size());
    QByteArray file(14, '\0');
    auto *f = reinterpret_cast<uchar *>(file.data());
    f[0] = 'B';
    f[1] = 'M';
    qToLittleEndian<quint32>(offBits + quint32(pixels.size()), f + 2);
    qToLittleEndian<quint32>(offBits, f + 10);
    return file + info + palette + pixels;
}

// The image as top-down BGR24 rows without padding: what ffmpeg decodes
// to with -pix_fmt bgr24.
inline QByteArray bmpAsBgr24(const BmpSpec &s)
{
    const QByteArray px = bmpPixels(s);
    const QByteArray pal = bmpPalette(s);
    const int rows = s.height < 0 ? -s.height : s.height;
    const int stride = bmpStride(s.width, s.bitCount);
    QByteArray out;
    for (int r = 0; r < rows; ++r) {
        const int y = s.height < 0 ? r : rows - 1 - r;
        const char *line = px.constData() + y * stride;
        for (int x = 0; x < s.width; ++x) {
            if (s.bitCount == 24) {
                out.append(line + x * 3, 3);
            } else if (s.bitCount == 8) {
                const int i = uchar(line[x]);
                out.append(pal.constData() + i * 4, 3);
            }
        }
    }
    return out;
}
