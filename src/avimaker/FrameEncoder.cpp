#include "FrameEncoder.h"

#include "AviRiffWriter.h"

#include <QtEndian>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

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

AVPixelFormat targetFormat(VideoCodec codec, const DibLayout &src)
{
    switch (codec) {
    case VideoCodec::Mjpeg: return AV_PIX_FMT_YUVJ420P;
    case VideoCodec::Cinepak: return AV_PIX_FMT_RGB24;
    case VideoCodec::MsVideo1: return AV_PIX_FMT_RGB555LE;
    case VideoCodec::Ffv1: return AV_PIX_FMT_BGR0;
    case VideoCodec::Mpeg4: return AV_PIX_FMT_YUV420P;
    case VideoCodec::Huffyuv: return AV_PIX_FMT_RGB24;
    case VideoCodec::Zmbv:
        return src.pixelFormat == AV_PIX_FMT_PAL8 ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR0;
    case VideoCodec::None: break;
    }
    return AV_PIX_FMT_NONE;
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

    int format = -1;
    if (compression == 0) {
        switch (bitCount) {
        case 1: case 4: case 8: format = AV_PIX_FMT_PAL8; break;
        case 16: format = AV_PIX_FMT_RGB555LE; break;
        case 24: format = AV_PIX_FMT_BGR24; break;
        case 32: format = AV_PIX_FMT_BGR0; break;
        default: break;
        }
    } else if ((compression == 3 || compression == 6) && bi.size() >= 52) {
        // The colour masks follow the 40-byte fields, in every header version.
        const quint32 r = le32(bi, 40), g = le32(bi, 44), b = le32(bi, 48);
        if (bitCount == 16 && r == 0xF800 && g == 0x07E0 && b == 0x001F)
            format = AV_PIX_FMT_RGB565LE;
        else if (bitCount == 16 && r == 0x7C00 && g == 0x03E0 && b == 0x001F)
            format = AV_PIX_FMT_RGB555LE;
        else if (bitCount == 32 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF)
            format = AV_PIX_FMT_BGR0;
    }
    if (format == AV_PIX_FMT_PAL8) {
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
    l.pixelFormat = format;
    return l;
}

struct FrameEncoder::Impl {
    VideoCodec codec = VideoCodec::None;
    DibLayout src;
    AVCodecContext *ctx = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    SwsContext *sws = nullptr;
    QByteArray expanded;     // 1- and 4-bit rows widened to one byte per pixel
    std::int64_t pts = 0;

    ~Impl()
    {
        sws_freeContext(sws);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&ctx);
    }
};

FrameEncoder::FrameEncoder() : d(std::make_unique<Impl>()) {}
FrameEncoder::~FrameEncoder() = default;

bool FrameEncoder::open(VideoCodec codec, const DibLayout &source, const EncoderSettings &settings)
{
    // Our own messages say what failed; libav's notices would only be noise
    // on a teacher's terminal.
    static const bool quiet = (av_log_set_level(AV_LOG_FATAL), true);
    Q_UNUSED(quiet);
    d = std::make_unique<Impl>();
    d->codec = codec;
    d->src = source;
    const VideoCodecInfo &info = infoOf(codec);
    if (!info.encoder || !source.valid()) {
        m_error = QStringLiteral("these bitmaps cannot be compressed");
        return false;
    }
    const AVCodec *enc = avcodec_find_encoder_by_name(info.encoder);
    if (!enc) {
        m_error = QStringLiteral("no %1 encoder in this libavcodec").arg(info.encoder);
        return false;
    }
    d->ctx = avcodec_alloc_context3(enc);
    AVCodecContext *c = d->ctx;
    const int fps = qMax(1, settings.fps);
    c->width = source.width;
    c->height = source.height;
    c->time_base = AVRational{1, fps};
    c->framerate = AVRational{fps, 1};
    c->pix_fmt = targetFormat(codec, source);
    c->max_b_frames = 0;   // AVI has no reordering: frames go out in order
    c->thread_count = 0;
    c->codec_tag = info.fourcc;
    if (info.usesKeyFrames)
        c->gop_size = settings.keyFrameEvery > 0 ? settings.keyFrameEvery : 15;
    if (info.usesDataRate && settings.bytesPerSecond > 0) {
        // A one-second buffer makes the rate a ceiling, also over a short
        // slideshow, where the average alone would not settle in time.
        c->bit_rate = settings.bytesPerSecond * 8;
        c->rc_max_rate = c->bit_rate;
        c->rc_buffer_size = int(qMin<std::int64_t>(c->bit_rate, INT32_MAX));
    } else if (info.usesQuality) {
        const int quality = settings.quality < 0 ? 85 : qBound(0, settings.quality, 100);
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * (2 + (100 - quality) * 29 / 100);
    }
    if (codec == VideoCodec::Mjpeg)
        c->color_range = AVCOL_RANGE_JPEG;
    int err = avcodec_open2(c, enc, nullptr);
    if (err < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(err, text, sizeof text);
        m_error = QString::fromLocal8Bit(text);
        return false;
    }
    d->frame = av_frame_alloc();
    d->packet = av_packet_alloc();
    d->frame->format = c->pix_fmt;
    d->frame->width = c->width;
    d->frame->height = c->height;
    if (av_frame_get_buffer(d->frame, 0) < 0) {
        m_error = QStringLiteral("out of memory");
        return false;
    }
    if (!(source.pixelFormat == AV_PIX_FMT_PAL8 && c->pix_fmt == AV_PIX_FMT_PAL8)) {
        d->sws = sws_getContext(source.width, source.height, AVPixelFormat(source.pixelFormat),
                                c->width, c->height, c->pix_fmt, SWS_BICUBIC | SWS_ACCURATE_RND,
                                nullptr, nullptr, nullptr);
        if (!d->sws) {
            m_error = QStringLiteral("unsupported pixel conversion");
            return false;
        }
    }
    return true;
}

bool FrameEncoder::encode(const unsigned char *pixels, std::int64_t size, QList<EncodedPacket> &out)
{
    if (!d->ctx || !d->frame)
        return false;
    const DibLayout &s = d->src;
    if (size < s.imageSize) {
        m_error = QStringLiteral("frame is smaller than its format says");
        return false;
    }
    if (av_frame_make_writable(d->frame) < 0)
        return false;

    // Rows as stored, top row first (negative stride for bottom-up files).
    const unsigned char *rows = pixels;
    std::int64_t stride = s.stride;
    if (s.bitCount < 8) {
        d->expanded.resize(s.width * s.height);
        auto *dst = reinterpret_cast<unsigned char *>(d->expanded.data());
        const int perByte = 8 / s.bitCount;
        const int mask = (1 << s.bitCount) - 1;
        for (int y = 0; y < s.height; ++y) {
            const unsigned char *line = pixels + y * s.stride;
            for (int x = 0; x < s.width; ++x) {
                const int shift = 8 - s.bitCount * (x % perByte + 1);
                dst[y * s.width + x] = (line[x / perByte] >> shift) & mask;
            }
        }
        rows = dst;
        stride = s.width;
    }
    const unsigned char *top = s.topDown ? rows : rows + (s.height - 1) * stride;
    const int lineSize = int(s.topDown ? stride : -stride);

    if (d->sws) {
        const uint8_t *srcData[4] = {top, nullptr, nullptr, nullptr};
        const int srcLines[4] = {lineSize, 0, 0, 0};
        if (s.pixelFormat == AV_PIX_FMT_PAL8)
            srcData[1] = reinterpret_cast<const uint8_t *>(s.palette.constData());
        sws_scale(d->sws, srcData, srcLines, 0, s.height, d->frame->data, d->frame->linesize);
    } else {
        for (int y = 0; y < s.height; ++y)
            memcpy(d->frame->data[0] + y * d->frame->linesize[0], top + y * lineSize, s.width);
        memcpy(d->frame->data[1], s.palette.constData(), 256 * 4);
    }
    d->frame->pts = d->pts++;
    // A fixed quality travels with each frame, as the encoders read it there.
    if (d->ctx->flags & AV_CODEC_FLAG_QSCALE)
        d->frame->quality = d->ctx->global_quality;
    if (avcodec_send_frame(d->ctx, d->frame) < 0) {
        m_error = QStringLiteral("the encoder refused a frame");
        return false;
    }
    return drain(out);
}

bool FrameEncoder::drain(QList<EncodedPacket> &out)
{
    for (;;) {
        const int err = avcodec_receive_packet(d->ctx, d->packet);
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return true;
        if (err < 0) {
            m_error = QStringLiteral("the encoder failed");
            return false;
        }
        out.append({QByteArray(reinterpret_cast<const char *>(d->packet->data), d->packet->size),
                    (d->packet->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(d->packet);
    }
}

bool FrameEncoder::flush(QList<EncodedPacket> &out)
{
    if (!d->ctx)
        return true;
    if (avcodec_send_frame(d->ctx, nullptr) < 0)
        return true;   // already flushed
    return drain(out);
}

std::uint32_t FrameEncoder::fourcc() const
{
    return infoOf(d->codec).fourcc;
}

QByteArray FrameEncoder::streamFormat() const
{
    if (!d->ctx)
        return QByteArray();
    const AVCodecContext *c = d->ctx;
    const int extra = c->extradata ? c->extradata_size : 0;
    QByteArray b(40, '\0');
    auto *p = reinterpret_cast<uchar *>(b.data());
    const int bpp = c->bits_per_coded_sample > 0 ? c->bits_per_coded_sample
                    : c->pix_fmt == AV_PIX_FMT_PAL8 ? 8 : 24;
    qToLittleEndian<quint32>(40 + extra, p + 0);
    qToLittleEndian<qint32>(c->width, p + 4);
    qToLittleEndian<qint32>(c->height, p + 8);   // positive: compressed frames have no bottom-up form
    qToLittleEndian<quint16>(1, p + 12);
    qToLittleEndian<quint16>(quint16(bpp), p + 14);
    qToLittleEndian<quint32>(fourcc(), p + 16);
    qToLittleEndian<quint32>(quint32(c->width * c->height * 3), p + 20);
    if (extra)
        b.append(reinterpret_cast<const char *>(c->extradata), extra);
    return b;
}

bool codecApplies(VideoCodec codec, const DibLayout &source)
{
    if (codec == VideoCodec::None)
        return true;
    FrameEncoder probe;
    EncoderSettings settings;
    return probe.open(codec, source, settings);
}
