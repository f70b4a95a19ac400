#include "avimaker/FrameEncoder.h"

#include "avimaker/AviRiffWriter.h"

#include "avimaker/EncoderBackend.h"
#include "platform/ModuleLoader.h"

#include <QtEndian>

const QList<VideoCodecInfo> &videoCodecs()
{
    static const QList<VideoCodecInfo> list = {
        {VideoCodec::None, "none", "Full Frames (Uncompressed)", makeFourCC("DIB "), nullptr,
         false, false, false},
        {VideoCodec::Mjpeg, "mjpeg", "Motion JPEG", makeFourCC("MJPG"), "mjpeg", false, true, true},
        {VideoCodec::Cinepak, "cinepak", "Cinepak", makeFourCC("cvid"), "cinepak", true, false,
         false},
        {VideoCodec::MsVideo1, "msvideo1", "Microsoft Video 1", makeFourCC("CRAM"), "msvideo1",
         true, false, false},
        {VideoCodec::Ffv1, "ffv1", "FFV1 (lossless)", makeFourCC("FFV1"), "ffv1", false, false,
         false},
        {VideoCodec::Mpeg4, "mpeg4", "MPEG-4 Part 2 (Xvid compatible)", makeFourCC("XVID"),
         "mpeg4", true, true, true},
        {VideoCodec::Huffyuv, "huffyuv", "Huffyuv (lossless)", makeFourCC("HFYU"), "huffyuv",
         false, false, false},
        {VideoCodec::Zmbv, "zmbv", "Zip Motion Blocks Video (lossless)", makeFourCC("ZMBV"),
         "zmbv", true, false, false},
    };
    return list;
}

const VideoCodecInfo *videoCodecByFourcc(std::uint32_t fourcc)
{
    for (const VideoCodecInfo &c : videoCodecs())
        if (c.fourcc == fourcc)
            return &c;
    return nullptr;
}

const VideoCodecInfo *videoCodecByToolName(const QString &name)
{
    for (const VideoCodecInfo &c : videoCodecs())
        if (name.compare(QLatin1String(c.toolName), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

namespace {
const VideoCodecInfo &infoOf(VideoCodec codec)
{
    for (const VideoCodecInfo &c : videoCodecs())
        if (c.id == codec)
            return c;
    return videoCodecs().front();
}

quint32 le32(const QByteArray &b, int off)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(b.constData()) + off);
}

}

DibLayout DibLayout::fromBitmapInfo(const QByteArray &bi)
{
    DibLayout l;
    if (bi.size() < 40)
        return l;
    const quint32 biSize = le32(bi, 0);
    const qint32 width = qint32(le32(bi, 4));
    const qint32 height = qint32(le32(bi, 8));
    const int bitCount = qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(bi.constData()) + 14);
    const quint32 compression = le32(bi, 16);
    if (width <= 0 || height == 0 || height == INT32_MIN || width > 16384 || qAbs(height) > 16384)
        return l;
    l.width = width;
    l.height = qAbs(height);
    l.topDown = height < 0;
    l.bitCount = bitCount;
    l.stride = ((std::int64_t(width) * bitCount + 31) / 32) * 4;
    l.imageSize = l.stride * l.height;

    DibPixels format = DibPixels::None;
    if (compression == 0) {
        switch (bitCount) {
        case 1: case 4: case 8: format = DibPixels::Pal8; break;
        case 16: format = DibPixels::Rgb555; break;
        case 24: format = DibPixels::Bgr24; break;
        case 32: format = DibPixels::Bgr0; break;
        default: break;
        }
    } else if ((compression == 3 || compression == 6) && bi.size() >= 52) {
        // The colour masks follow the 40-byte fields, in every header version.
        const quint32 r = le32(bi, 40), g = le32(bi, 44), b = le32(bi, 48);
        if (bitCount == 16 && r == 0xF800 && g == 0x07E0 && b == 0x001F)
            format = DibPixels::Rgb565;
        else if (bitCount == 16 && r == 0x7C00 && g == 0x03E0 && b == 0x001F)
            format = DibPixels::Rgb555;
        else if (bitCount == 32 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF)
            format = DibPixels::Bgr0;
    }
    if (format == DibPixels::Pal8) {
        const quint32 clrUsed = le32(bi, 32);
        qint64 count = clrUsed ? clrUsed : (1u << bitCount);
        count = qMin<qint64>(qMin<qint64>(count, 256), (bi.size() - qint64(biSize)) / 4);
        if (biSize < 40 || count <= 0)
            return l;
        for (int i = 0; i < count; ++i)
            l.palette.append(0xFF000000u | (le32(bi, int(biSize) + 4 * i) & 0xFFFFFFu));
        while (l.palette.size() < 256)
            l.palette.append(0xFF000000u);
    }
    l.pixels = format;
    return l;
}

namespace {
std::unique_ptr<EncoderBackend> createBackend(QString *why)
{
    return ModuleLoader::create<EncoderBackend>(QStringLiteral(ARDENO_ENCODER_MODULE), ARDENO_ENCODER_FACTORY,
                                                kEncoderInterfaceVersion, why);
}
}

bool encodersAvailable(QString *why)
{
    return createBackend(why) != nullptr;
}

FrameEncoder::FrameEncoder() = default;
FrameEncoder::~FrameEncoder() = default;

bool FrameEncoder::open(VideoCodec codec, const DibLayout &source, const EncoderSettings &settings)
{
    m_backend.reset();
    m_codec = codec;
    const VideoCodecInfo &info = infoOf(codec);
    if (!info.encoder || !source.valid()) {
        m_error = QStringLiteral("these bitmaps cannot be compressed");
        return false;
    }
    QString why;
    m_backend = createBackend(&why);
    if (!m_backend) {
        m_error = QStringLiteral("no encoders: ") + why;
        return false;
    }
    if (!m_backend->open(info, source, settings)) {
        m_error = m_backend->errorString();
        m_backend.reset();
        return false;
    }
    return true;
}

bool FrameEncoder::encode(const unsigned char *pixels, std::int64_t size, QList<EncodedPacket> &out)
{
    if (!m_backend)
        return false;
    if (m_backend->encode(pixels, size, out))
        return true;
    m_error = m_backend->errorString();
    return false;
}

bool FrameEncoder::flush(QList<EncodedPacket> &out)
{
    if (!m_backend)
        return true;
    if (m_backend->flush(out))
        return true;
    m_error = m_backend->errorString();
    return false;
}

std::uint32_t FrameEncoder::fourcc() const
{
    return infoOf(m_codec).fourcc;
}

QByteArray FrameEncoder::streamFormat() const
{
    return m_backend ? m_backend->streamFormat(fourcc()) : QByteArray();
}

bool codecApplies(VideoCodec codec, const DibLayout &source)
{
    if (codec == VideoCodec::None)
        return true;
    FrameEncoder probe;
    EncoderSettings settings;
    return probe.open(codec, source, settings);
}
