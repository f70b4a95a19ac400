#pragma once
// The info header of a device-independent bitmap: the BITMAPINFOHEADER of a
// BMP file (after its 14-byte file header), of a bitmap inside a metafile
// record and of the AVI maker's frames, in its 40-byte form and the longer
// ones (52, 56, 108, 124 bytes), or the 12-byte OS/2 core header with its
// 16-bit sizes. The one place these bytes are read.

#include <QByteArray>
#include <QtGlobal>
#include <optional>

struct BitmapInfoHeader {
    static constexpr int FileHeaderBytes = 14;   // "BM", size, reserved, offset of the pixels

    quint32 size = 0;             // the header's own length: 12, 40, 52, 56, 108 or 124
    qint32 width = 0;
    qint32 height = 0;            // below zero: the top row comes first
    quint16 planes = 0;
    quint16 bitCount = 0;
    quint32 compression = 0;      // 0 none, 1 and 2 run-length, 3 bit fields
    quint32 sizeImage = 0;
    qint32 xPelsPerMeter = 0;
    qint32 yPelsPerMeter = 0;
    quint32 clrUsed = 0;
    quint32 clrImportant = 0;

    bool isCore() const { return size == 12; }
    // Bytes per row, rows padded to four bytes.
    qint64 rowBytes() const { return ((qAbs(qint64(width)) * bitCount + 31) / 32) * 4; }

    // The header at `p`, of which `available` bytes can be read; nullopt
    // when it is shorter than its own length or of no known length.
    static std::optional<BitmapInfoHeader> read(const uchar *p, qint64 available);

    // The header of a BMP file that begins with `head`; nullopt when it is
    // not one. offBits: where its pixels begin.
    static std::optional<BitmapInfoHeader> ofFile(const QByteArray &head, quint32 *offBits = nullptr);

    // Whether a file of `fileSize` bytes that begins with `head` is a BMP
    // whose file and info headers agree: a known header length, one plane,
    // a known bit depth and compression, a size, and pixels that begin after
    // the headers and within the file. Two bytes "BM" are no picture.
    static bool isWholeFile(const QByteArray &head, qint64 fileSize);
};
