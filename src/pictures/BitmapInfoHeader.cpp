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
