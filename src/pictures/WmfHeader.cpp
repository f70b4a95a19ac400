#include "pictures/WmfHeader.h"

#include "pictures/BitmapInfoHeader.h"

#include <QtEndian>

#include <cstdlib>

namespace Wmf {
namespace {

bool isDrawingRecord(quint16 function)
{
    switch (function) {
    case 0x0213: case 0x0817: case 0x0418: case 0x0419: case 0x0548: case 0x081A:
    case 0x041B: case 0x061C: case 0x061D: case 0x041F: case 0x0521: case 0x0324:
    case 0x0325: case 0x0A32: case 0x0538: case 0x0830: case 0x0922: case 0x0940:
    case 0x0B23: case 0x0B41: case 0x0F43: case 0x0228: case 0x0429: case 0x012B:
    case 0x012A: case 0x062F: case 0x0D33:
        return true;
    default:
        return false;
    }
}

// Bytes from the start of a record's parameters to its bitmap, for the
// records that carry one.
int bitmapOffset(quint16 function)
{
    switch (function) {
    case 0x0940: return 16;   // DIBBITBLT: raster operation, 6 coordinates
    case 0x0B41: return 20;   // DIBSTRETCHBLT: raster operation, 8 coordinates
    case 0x0F43: return 22;   // STRETCHDIB: raster operation, colour use, 8 coordinates
    case 0x0D33: return 18;   // SETDIBTODEV: colour use, 8 values
    case 0x0142: return 4;    // DIBCREATEPATTERNBRUSH: style, colour use
    default: return -1;
    }
}

bool bitmapLooksSane(const uchar *dib, qint64 available)
{
    if (available < 12)
        return available == 0;   // the variants of these records without a bitmap
    const std::optional<BitmapInfoHeader> h = BitmapInfoHeader::read(dib, available);
    if (!h || available < h->size || h->planes != 1)
        return false;
    const qint64 headerSize = h->size;
    const qint64 width = std::abs(qint64(h->width)), height = std::abs(qint64(h->height)), bits = h->bitCount;
    const qint64 compression = h->compression;
    qint64 colours;
    if (h->isCore()) {
        colours = bits <= 8 ? (qint64(1) << bits) * 3 : 0;
    } else {
        const qint64 used = h->clrUsed;
        if (compression > 3 || used > 256)
            return false;
        colours = (used ? used : (bits <= 8 ? (qint64(1) << bits) : 0)) * 4;
        if (compression == 3 && headerSize == 40)
            colours += 12;   // the three colour masks
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (width < 1 || height < 1 || width * height > kMaxRenderPixels)
        return false;
    if (compression == 1 || compression == 2)
        return headerSize + colours <= available;   // run-length coded: no fixed size
    const qint64 stride = ((width * bits + 31) / 32) * 4;
    return headerSize + colours + stride * height <= available;
}

} // namespace

bool looksLikeWmf(const QByteArray &head)
{
    if (head.size() >= 4
        && qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(head.constData())) == kPlaceableKey)
        return true;
    return standardHeaderAt(head, 0);
}

Placeable readPlaceable(const QByteArray &data)
{
    Placeable p;
    if (data.size() < kPlaceableBytes)
        return p;
    const auto *b = reinterpret_cast<const uchar *>(data.constData());
    if (qFromLittleEndian<quint32>(b) != kPlaceableKey)
        return p;
    p.present = true;
    p.left = qFromLittleEndian<qint16>(b + 6);
    p.top = qFromLittleEndian<qint16>(b + 8);
    p.right = qFromLittleEndian<qint16>(b + 10);
    p.bottom = qFromLittleEndian<qint16>(b + 12);
    p.inch = qFromLittleEndian<quint16>(b + 14);
    return p;
}

bool standardHeaderAt(const QByteArray &data, int offset)
{
    if (data.size() < offset + kHeaderBytes)
        return false;
    const auto *b = reinterpret_cast<const uchar *>(data.constData()) + offset;
    const quint16 type = qFromLittleEndian<quint16>(b);
    const quint16 headerWords = qFromLittleEndian<quint16>(b + 2);
    return (type == 1 || type == 2) && headerWords == 9;
}

Window windowFromRecords(const QByteArray &data, int offset)
{
    Window window;
    bool haveExt = false;
    const auto *b = reinterpret_cast<const uchar *>(data.constData());
    qint64 at = offset + kHeaderBytes;
    for (int count = 0; count < 10000 && at + 6 <= data.size(); ++count) {
        const quint32 words = qFromLittleEndian<quint32>(b + at);
        const quint16 function = qFromLittleEndian<quint16>(b + at + 4);
        if (words < 3 || at + qint64(words) * 2 > data.size())
            break;
        const uchar *param = b + at + 6;
        if (function == 0x020B && words >= 5) {          // SETWINDOWORG y, x
            window.oy = qFromLittleEndian<qint16>(param);
            window.ox = qFromLittleEndian<qint16>(param + 2);
        } else if (function == 0x020C && words >= 5) {   // SETWINDOWEXT y, x
            window.height = qFromLittleEndian<qint16>(param);
            window.width = qFromLittleEndian<qint16>(param + 2);
            haveExt = true;
        } else if (function == 0x0000) {
            break;
        } else if (isDrawingRecord(function)) {
            break;   // a drawing record: the mapping is settled
        }
        at += qint64(words) * 2;
    }
    window.present = haveExt && window.width != 0 && window.height != 0;
    return window;
}

bool bitmapsLookSane(const QByteArray &data, int offset)
{
    const auto *b = reinterpret_cast<const uchar *>(data.constData());
    qint64 at = offset + kHeaderBytes;
    while (at + 6 <= data.size()) {
        const quint32 words = qFromLittleEndian<quint32>(b + at);
        const quint16 function = qFromLittleEndian<quint16>(b + at + 4);
        if (words < 3 || qint64(words) * 2 > data.size() - at)
            return true;   // libwmf refuses broken record sizes itself
        if (function == 0 && words == 3)
            return true;
        const int dibAt = bitmapOffset(function);
        // (DIBBITBLT and DIBSTRETCHBLT also come without a bitmap, told by
        // their size: the function's high byte plus the 3 header words.)
        const bool withoutBitmap = (function == 0x0940 || function == 0x0B41) && words == (function >> 8) + 3u;
        if (dibAt >= 0 && !withoutBitmap) {
            const qint64 parameters = qint64(words) * 2 - 6;
            if (parameters < dibAt)
                return false;
            if (!bitmapLooksSane(b + at + 6 + dibAt, parameters - dibAt))
                return false;
        }
        at += qint64(words) * 2;
    }
    return true;
}

} // namespace Wmf
