#include "avimaker/cDIB.h"

#include "pictures/BitmapInfoHeader.h"

#include "platform/MsgBox.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>

namespace {
constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr std::int16_t kBM = 0x4D42;
// biCompression values whose pixels are plain rows (BI_RGB, BI_BITFIELDS,
// BI_ALPHABITFIELDS): only these can be sized from the header.
bool isUncompressed(std::uint32_t compression)
{
    return compression == 0 || compression == 3 || compression == 6;
}

// Reverses the order of the rows of `bits` (rows of `rowBytes` each).
void flipRows(QByteArray &bits, qint64 rowBytes, qint64 rows)
{
    if (rowBytes <= 0)
        return;
    char *data = bits.data();
    rows = qMin(rows, bits.size() / rowBytes);
    QByteArray row(rowBytes, Qt::Uninitialized);
    for (qint64 top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        std::memcpy(row.data(), data + top * rowBytes, size_t(rowBytes));
        std::memcpy(data + top * rowBytes, data + bottom * rowBytes, size_t(rowBytes));
        std::memcpy(data + bottom * rowBytes, row.constData(), size_t(rowBytes));
    }
}

void notSupported(const QString &filename)
{
    MsgBox(QStringLiteral("File is not a supported bitmap format:\r\n") + filename,
           MsgIcon::Information);
}
}

cDIB::InfoHeader cDIB::parseInfo(const unsigned char *p)
{
    // The 40 bytes of a BITMAPINFOHEADER are always there; a header of
    // another length keeps its length and zeros, and is refused by the caller.
    InfoHeader h;
    h.biSize = qFromLittleEndian<quint32>(p);
    if (const std::optional<BitmapInfoHeader> b = BitmapInfoHeader::read(p, 40); b && !b->isCore()) {
        h.biWidth = b->width;
        h.biHeight = b->height;
        h.biPlanes = qint16(b->planes);
        h.biBitCount = qint16(b->bitCount);
        h.biCompression = b->compression;
        h.biSizeImage = b->sizeImage;
        h.biXPelsPerMeter = b->xPelsPerMeter;
        h.biYPelsPerMeter = b->yPelsPerMeter;
        h.biClrUsed = b->clrUsed;
        h.biClrImportant = b->clrImportant;
    }
    return h;
}

qint64 cDIB::uncompressedImageSize(std::int32_t width, std::int32_t height, int bitCount)
{
    if (width <= 0 || height == 0 || bitCount <= 0 || bitCount > 64)
        return 0;
    const qint64 rowBytes = ((qint64(width) * bitCount + 31) / 32) * 4;
    const qint64 rows = height < 0 ? -qint64(height) : qint64(height);
    if (rowBytes > 0x7FFFFFFF || rows > 0x7FFFFFFF / rowBytes)
        return 0;
    return rowBytes * rows;
}

bool cDIB::CreateFromFile(const QString &filename)
{
    const QFileInfo info(filename);
    if (filename.isEmpty() || !info.exists() || info.isDir()) {
        MsgBox(QStringLiteral("File does not exist:\r\n") + filename, MsgIcon::Critical);
        return false;
    }
    // A pipe or a device (also behind a link) is never opened: it would block
    // or never end. It is no bitmap this reader supports.
    if (!RegularFile::problem(filename).isEmpty() && info.isReadable()) {
        notSupported(filename);
        return false;
    }
    QFile file;
    QString why;
    if (!RegularFile::open(file, filename, &why)) {
        // Linux has no share locks; a file we may not read is the same
        // situation for the user: another party keeps us out.
        if (!info.isReadable())
            MsgBox(QStringLiteral("File is locked - cannot access:\r\n") + filename,
                   MsgIcon::Critical);
        else
            MsgBox(why, MsgIcon::Information);
        return false;
    }
    return CreateFromDevice(file, file.size(), filename);
}

bool cDIB::CreateFromDevice(QIODevice &device, qint64 size, const QString &filename)
{
    unsigned char head[kFileHeaderSize + kInfoHeaderSize] = {};
    const qint64 got = device.read(reinterpret_cast<char *>(head), sizeof head);
    if (got < kFileHeaderSize) {
        notSupported(filename);
        return false;
    }
    m_file.bfType = qFromLittleEndian<qint16>(head + 0);
    m_file.bfSize = qFromLittleEndian<quint32>(head + 2);
    m_file.bfReserved1 = qFromLittleEndian<quint16>(head + 6);
    m_file.bfReserved2 = qFromLittleEndian<quint16>(head + 8);
    m_file.bfOffBits = qFromLittleEndian<quint32>(head + 10);
    if (m_file.bfType != kBM || got < qint64(sizeof head)) {
        notSupported(filename);
        return false;
    }

    InfoHeader info = parseInfo(head + kFileHeaderSize);
    // Many programs leave the image size 0 for plain rows; size those from
    // the header. Anything that still cannot be sized, or claims more bytes
    // than the file holds, is refused before a byte is allocated.
    qint64 imageSize = info.biSizeImage;
    if (imageSize == 0 && isUncompressed(info.biCompression))
        imageSize = uncompressedImageSize(info.biWidth, info.biHeight, info.biBitCount);
    const qint64 offBits = m_file.bfOffBits;
    if (offBits < kFileHeaderSize || imageSize <= 0 || imageSize > 0x7FFFFFFF
        || offBits + imageSize > size) {
        notSupported(filename);
        return false;
    }
    info.biSizeImage = std::uint32_t(imageSize);

    QByteArray bits(imageSize, Qt::Uninitialized);
    QByteArray block(offBits - kFileHeaderSize, Qt::Uninitialized);
    if (!device.seek(offBits) || device.read(bits.data(), imageSize) != imageSize
        || !device.seek(kFileHeaderSize)
        || device.read(block.data(), block.size()) != block.size()) {
        notSupported(filename);
        return false;
    }
    // A top-down bitmap (negative height) is turned into the usual bottom-up
    // row order here, so that every user of the bits sees it upright.
    if (info.biHeight < 0 && info.biHeight != INT32_MIN && isUncompressed(info.biCompression)) {
        flipRows(bits, uncompressedImageSize(info.biWidth, 1, info.biBitCount), -qint64(info.biHeight));
        info.biHeight = -info.biHeight;
        if (block.size() >= 12)
            qToLittleEndian<qint32>(info.biHeight, block.data() + 8);
    }
    m_bits = bits;
    m_bitmapInfo = block;
    m_info = info;
    return true;
}

