// The encoder module: FrameEncoder's work done by libavcodec and libswscale.
// Built as libardeno_encoders.so and loaded on first use (see
// EncoderBackend.h); nothing here may call into the rest of the AVI maker,
// as the module links only Qt and the libav libraries.
#include "avimaker/EncoderBackend.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {
AVPixelFormat avFormat(DibPixels pixels)
{
    switch (pixels) {
    case DibPixels::Pal8: return AV_PIX_FMT_PAL8;
    case DibPixels::Rgb555: return AV_PIX_FMT_RGB555LE;
    case DibPixels::Rgb565: return AV_PIX_FMT_RGB565LE;
    case DibPixels::Bgr24: return AV_PIX_FMT_BGR24;
    case DibPixels::Bgr0: return AV_PIX_FMT_BGR0;
    case DibPixels::None: break;
    }
    return AV_PIX_FMT_NONE;
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
        return src.pixels == DibPixels::Pal8 ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR0;
    case VideoCodec::None: break;
    }
    return AV_PIX_FMT_NONE;
}

class AvEncoderBackend final : public EncoderBackend {
public:
    ~AvEncoderBackend() override
    {
        sws_freeContext(sws);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&ctx);
    }
    bool open(const VideoCodecInfo &info, const DibLayout &source, const EncoderSettings &settings) override;
    bool encode(const unsigned char *pixels, std::int64_t size, QList<EncodedPacket> &out) override;
    bool flush(QList<EncodedPacket> &out) override;
    QByteArray streamFormat(std::uint32_t fourcc) const override;
    QString errorString() const override { return m_error; }

private:
    bool drain(QList<EncodedPacket> &out);

    DibLayout src;
    AVCodecContext *ctx = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    SwsContext *sws = nullptr;
    QByteArray expanded;     // 1- and 4-bit rows widened to one byte per pixel
    QByteArray padded;       // rows made even in number and length, for subsampled chroma
    int convertWidth = 0;    // the size the rows are converted at (see open)
    int convertHeight = 0;
    std::int64_t pts = 0;
    QString m_error;
};

bool AvEncoderBackend::open(const VideoCodecInfo &info, const DibLayout &source,
                            const EncoderSettings &settings)
{
    // Our own messages say what failed; libav's notices would only be noise
    // on a teacher's terminal.
    static const bool quiet = (av_log_set_level(AV_LOG_FATAL), true);
    Q_UNUSED(quiet);
    src = source;
    if (!info.encoder || !source.valid()) {
        m_error = QStringLiteral("these bitmaps cannot be compressed");
        return false;
    }
    const AVCodec *enc = avcodec_find_encoder_by_name(info.encoder);
    if (!enc) {
        m_error = QStringLiteral("no %1 encoder in this libavcodec").arg(QLatin1String(info.encoder));
        return false;
    }
    ctx = avcodec_alloc_context3(enc);
    AVCodecContext *c = ctx;
    const int fps = qMax(1, settings.fps);
    c->width = source.width;
    c->height = source.height;
    c->time_base = AVRational{1, fps};
    c->framerate = AVRational{fps, 1};
    c->pix_fmt = targetFormat(info.id, source);
    c->max_b_frames = 0;   // AVI has no reordering: frames go out in order
    c->thread_count = 0;
    c->codec_tag = info.fourcc;
    if (info.usesKeyFrames)
        c->gop_size = settings.keyFrameEvery > 0 ? settings.keyFrameEvery : 15;
    else
        c->gop_size = 1;   // no key-frame choice offered: every frame stands alone (FFV1
                           // would otherwise carry its coder state over 12 frames)
    // Microsoft Video 1 and ZMBV place their key frames by keyint_min, the
    // others by gop_size; MPEG-4 would also start one at every scene change.
    // Microsoft Video 1 counts the frames after a key frame, so it makes one
    // when keyint_min frames have passed since the last.
    c->keyint_min = info.id == VideoCodec::MsVideo1 ? c->gop_size - 1 : c->gop_size;
    if (info.id == VideoCodec::Mpeg4)
        av_opt_set_int(c->priv_data, "sc_threshold", 1000000000, 0);
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
    if (info.id == VideoCodec::Mjpeg)
        c->color_range = AVCOL_RANGE_JPEG;
    int err = avcodec_open2(c, enc, nullptr);
    if (err < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(err, text, sizeof text);
        m_error = QString::fromLocal8Bit(text);
        return false;
    }
    // With chroma at half resolution an odd width or height would make the
    // converter squeeze the colour of 101 pixels into 51 samples, shifting it
    // more with every column; so the rows are converted at an even size (the
    // last column and row repeated) into a buffer that has room for it, and
    // the encoder takes the real width and height from that.
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(c->pix_fmt);
    const int evenW = desc && desc->log2_chroma_w ? 2 : 1;
    const int evenH = desc && desc->log2_chroma_h ? 2 : 1;
    convertWidth = (c->width + evenW - 1) / evenW * evenW;
    convertHeight = (c->height + evenH - 1) / evenH * evenH;
    frame = av_frame_alloc();
    packet = av_packet_alloc();
    frame->format = c->pix_fmt;
    frame->width = convertWidth;
    frame->height = convertHeight;
    if (av_frame_get_buffer(frame, 0) < 0) {
        m_error = QStringLiteral("out of memory");
        return false;
    }
    frame->width = c->width;
    frame->height = c->height;
    if (!(source.pixels == DibPixels::Pal8 && c->pix_fmt == AV_PIX_FMT_PAL8)) {
        sws = sws_getContext(convertWidth, convertHeight, avFormat(source.pixels),
                             convertWidth, convertHeight, c->pix_fmt, SWS_BICUBIC | SWS_ACCURATE_RND,
                             nullptr, nullptr, nullptr);
        if (!sws) {
            m_error = QStringLiteral("unsupported pixel conversion");
            return false;
        }
    }
    return true;
}

bool AvEncoderBackend::encode(const unsigned char *pixels, std::int64_t size, QList<EncodedPacket> &out)
{
    if (!ctx || !frame)
        return false;
    const DibLayout &s = src;
    if (size < s.imageSize) {
        m_error = QStringLiteral("frame is smaller than its format says");
        return false;
    }
    if (av_frame_make_writable(frame) < 0)
        return false;

    // Rows as stored, top row first (negative stride for bottom-up files).
    const unsigned char *rows = pixels;
    std::int64_t stride = s.stride;
    if (s.bitCount < 8) {
        expanded.resize(s.width * s.height);
        auto *dst = reinterpret_cast<unsigned char *>(expanded.data());
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
    int lineSize = int(s.topDown ? stride : -stride);

    if (sws && (convertWidth != s.width || convertHeight != s.height)) {
        const int bytes = s.bitCount < 8 ? 1 : s.bitCount / 8;
        const int paddedLine = convertWidth * bytes;
        padded.resize(qsizetype(paddedLine) * convertHeight);
        auto *to = reinterpret_cast<unsigned char *>(padded.data());
        for (int y = 0; y < convertHeight; ++y, to += paddedLine) {
            const unsigned char *from = top + std::int64_t(std::min(y, s.height - 1)) * lineSize;
            std::memcpy(to, from, size_t(s.width) * bytes);
            for (int x = s.width; x < convertWidth; ++x)
                std::memcpy(to + x * bytes, from + (s.width - 1) * bytes, size_t(bytes));
        }
        top = reinterpret_cast<const unsigned char *>(padded.constData());
        lineSize = paddedLine;
    }

    if (sws) {
        const uint8_t *srcData[4] = {top, nullptr, nullptr, nullptr};
        const int srcLines[4] = {lineSize, 0, 0, 0};
        if (s.pixels == DibPixels::Pal8)
            srcData[1] = reinterpret_cast<const uint8_t *>(s.palette.constData());
        sws_scale(sws, srcData, srcLines, 0, convertHeight, frame->data, frame->linesize);
    } else {
        for (int y = 0; y < s.height; ++y)
            memcpy(frame->data[0] + y * frame->linesize[0], top + y * lineSize, s.width);
        memcpy(frame->data[1], s.palette.constData(), 256 * 4);
    }
    frame->pts = pts++;
    // A fixed quality travels with each frame, as the encoders read it there.
    if (ctx->flags & AV_CODEC_FLAG_QSCALE)
        frame->quality = ctx->global_quality;
    if (avcodec_send_frame(ctx, frame) < 0) {
        m_error = QStringLiteral("the encoder refused a frame");
        return false;
    }
    return drain(out);
}

bool AvEncoderBackend::drain(QList<EncodedPacket> &out)
{
    for (;;) {
        const int err = avcodec_receive_packet(ctx, packet);
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return true;
        if (err < 0) {
            m_error = QStringLiteral("the encoder failed");
            return false;
        }
        out.append({QByteArray(reinterpret_cast<const char *>(packet->data), packet->size),
                    (packet->flags & AV_PKT_FLAG_KEY) != 0});
        av_packet_unref(packet);
    }
}

bool AvEncoderBackend::flush(QList<EncodedPacket> &out)
{
    if (!ctx)
        return true;
    if (avcodec_send_frame(ctx, nullptr) < 0)
        return true;   // already flushed
    return drain(out);
}

QByteArray AvEncoderBackend::streamFormat(std::uint32_t fourcc) const
{
    if (!ctx)
        return QByteArray();
    const AVCodecContext *c = ctx;
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
    qToLittleEndian<quint32>(fourcc, p + 16);
    qToLittleEndian<quint32>(quint32(c->width * c->height * 3), p + 20);
    if (extra)
        b.append(reinterpret_cast<const char *>(c->extradata), extra);
    return b;
}
}

extern "C" Q_DECL_EXPORT EncoderBackend *ardeno_create_encoder(int version)
{
    return version == kEncoderInterfaceVersion ? new AvEncoderBackend : nullptr;
}
