#include "pictures/BitmapInfoHeader.h"

#include <QtEndian>

std::optional<BitmapInfoHeader> BitmapInfoHeader::read(const uchar *p, qint64 available)
{
    if (available < 12)
        return std::nullopt;
    BitmapInfoHeader h;
    h.size = qFromLittleEndian<quint32>(p);
    if (h.size == 12) {
        h.width = qFromLittleEndian<quint16>(p + 4);
        h.height = qFromLittleEndian<quint16>(p + 6);
        h.planes = qFromLittleEndian<quint16>(p + 8);
        h.bitCount = qFromLittleEndian<quint16>(p + 10);
        return h;
    }
    if ((h.size != 40 && h.size != 52 && h.size != 56 && h.size != 108 && h.size != 124) || available < 40)
        return std::nullopt;
    h.width = qFromLittleEndian<qint32>(p + 4);
    h.height = qFromLittleEndian<qint32>(p + 8);
    h.planes = qFromLittleEndian<quint16>(p + 12);
    h.bitCount = qFromLittleEndian<quint16>(p + 14);
    h.compression = qFromLittleEndian<quint32>(p + 16);
    h.sizeImage = qFromLittleEndian<quint32>(p + 20);
    h.xPelsPerMeter = qFromLittleEndian<qint32>(p + 24);
    h.yPelsPerMeter = qFromLittleEndian<qint32>(p + 28);
    h.clrUsed = qFromLittleEndian<quint32>(p + 32);
    h.clrImportant = qFromLittleEndian<quint32>(p + 36);
    return h;
}

std::optional<BitmapInfoHeader> BitmapInfoHeader::ofFile(const QByteArray &head, quint32 *offBits)
{
    if (head.size() < FileHeaderBytes || !head.startsWith("BM"))
        return std::nullopt;
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    if (offBits)
        *offBits = qFromLittleEndian<quint32>(b + 10);
    return read(b + FileHeaderBytes, head.size() - FileHeaderBytes);
}

bool BitmapInfoHeader::isWholeFile(const QByteArray &head, qint64 fileSize)
{
    quint32 offBits = 0;
    const std::optional<BitmapInfoHeader> h = ofFile(head, &offBits);
    if (!h || h->planes != 1 || h->width <= 0 || h->height == 0)
        return false;
    switch (h->bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    // None, run-length (8 and 4 bits), bit fields (16 and 32 bits, or the
    // alpha variant 6); a JPEG or PNG inside a bitmap is not a picture here.
    const bool known = h->compression == 0 || (h->compression == 1 && h->bitCount == 8)
                       || (h->compression == 2 && h->bitCount == 4)
                       || ((h->compression == 3 || h->compression == 6) && (h->bitCount == 16 || h->bitCount == 32));
    return known && offBits >= quint32(FileHeaderBytes) + h->size && qint64(offBits) < fileSize;
}
