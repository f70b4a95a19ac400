#pragma once
// cDIB: one Windows BMP bitmap in memory: its file header, its bitmap-info
// block (the info header with whatever colour table or masks follow it) and
// its raw pixel bytes. It moves bytes between a file and memory and answers
// questions about the headers; it never decodes or converts pixels.

#include <QByteArray>
#include <QString>
#include <cstdint>

class QIODevice;

class cDIB {
public:
    // Loads a BMP file. Shows the reason in a message box and answers false
    // when the file is missing, cannot be opened or is no bitmap this reader
    // can size. A failed load keeps what an earlier load gave.
    bool CreateFromFile(const QString &filename);

    // The same checks as CreateFromFile, over any readable device. `size`
    // is the device's length in bytes.
    bool CreateFromDevice(QIODevice &device, qint64 size, const QString &filename);

    std::int32_t BitCount() const { return m_info.biBitCount; }
    std::int32_t Height() const { return m_info.biHeight; }
    std::int32_t Width() const { return m_info.biWidth; }
    std::int32_t Compression() const { return std::int32_t(m_info.biCompression); }
    std::int32_t SizeInfoHeader() const { return std::int32_t(m_info.biSize); }
    std::int32_t SizeImage() const { return std::int32_t(m_info.biSizeImage); }
    std::int32_t Planes() const { return m_info.biPlanes; }
    std::int32_t ClrImportant() const { return std::int32_t(m_info.biClrImportant); }
    std::int32_t ClrUsed() const { return std::int32_t(m_info.biClrUsed); }
    std::int32_t XPPM() const { return m_info.biXPelsPerMeter; }
    std::int32_t YPPM() const { return m_info.biYPelsPerMeter; }
    std::int32_t FileType() const { return m_file.bfType; }
    std::int32_t SizeFileHeader() const { return std::int32_t(m_file.bfSize); }
    std::int32_t BitOffset() const { return std::int32_t(m_file.bfOffBits); }

    const unsigned char *PointerToBits() const
    { return reinterpret_cast<const unsigned char *>(m_bits.constData()); }
    const unsigned char *PointerToBitmapInfo() const
    { return reinterpret_cast<const unsigned char *>(m_bitmapInfo.constData()); }
    std::int32_t SizeBitmapInfo() const { return std::int32_t(m_bitmapInfo.size()); }

    const QByteArray &bits() const { return m_bits; }
    const QByteArray &bitmapInfo() const { return m_bitmapInfo; }

    // Rows padded to 4 bytes times the number of rows; 0 when the header
    // cannot be sized that way or the result is absurd.
    static qint64 uncompressedImageSize(std::int32_t width, std::int32_t height, int bitCount);

private:
    // Field types follow the file (the 16-bit fields are signed when widened,
    // as the properties give them).
    struct FileHeader {
        std::int16_t bfType = 0;
        std::uint32_t bfSize = 0;
        std::uint16_t bfReserved1 = 0;
        std::uint16_t bfReserved2 = 0;
        std::uint32_t bfOffBits = 0;
    };
    struct InfoHeader {
        std::uint32_t biSize = 0;
        std::int32_t biWidth = 0;
        std::int32_t biHeight = 0;
        std::int16_t biPlanes = 0;
        std::int16_t biBitCount = 0;
        std::uint32_t biCompression = 0;
        std::uint32_t biSizeImage = 0;
        std::int32_t biXPelsPerMeter = 0;
        std::int32_t biYPelsPerMeter = 0;
        std::uint32_t biClrUsed = 0;
        std::uint32_t biClrImportant = 0;
    };
    static InfoHeader parseInfo(const unsigned char *p);

    QByteArray m_bits;
    QByteArray m_bitmapInfo;
    InfoHeader m_info;
    FileHeader m_file;
};
