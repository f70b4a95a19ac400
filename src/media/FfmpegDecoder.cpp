// The decoder module: pictures and sound of AVI and MPEG files and MP3 tunes
// decoded by libavformat and libavcodec, pictures converted by libswscale.
// Built as libardeno_mediadecode.so and loaded on first use (see
// MediaDecoder.h); nothing here may call into the rest of the program, as the
// module links only Qt and the FFmpeg libraries.
#include "media/MediaDecoder.h"

#include "media/BitmapStreamMasks.h"

#include <QFile>
#include <QtGlobal>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

// Damaged packets a file may have before its pictures count as undecodable.
constexpr int kMaxBadPackets = 50;

// Pixel formats with an alpha byte that bitmaps in AVI files leave at 0:
// read as the same layout without alpha, or every picture would be clear.
AVPixelFormat withoutAlpha(AVPixelFormat f)
{
    switch (f) {
    case AV_PIX_FMT_BGRA: return AV_PIX_FMT_BGR0;
    case AV_PIX_FMT_RGBA: return AV_PIX_FMT_RGB0;
    case AV_PIX_FMT_ARGB: return AV_PIX_FMT_0RGB;
    case AV_PIX_FMT_ABGR: return AV_PIX_FMT_0BGR;
    default: return f;
    }
}

qint16 sampleAt(const AVFrame *f, int channel, int i)
{
    const auto fmt = AVSampleFormat(f->format);
    const int channels = f->ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(fmt);
    const int index = planar ? i : i * channels + channel;
    const uint8_t *base = planar ? f->extended_data[channel] : f->extended_data[0];
    auto clampFloat = [](double v) {
        return qint16(qBound(-32768.0, std::lround(v * 32767.0) * 1.0, 32767.0));
    };
    switch (av_get_packed_sample_fmt(fmt)) {
    case AV_SAMPLE_FMT_U8: return qint16((int(base[index]) - 128) << 8);
    case AV_SAMPLE_FMT_S16: return reinterpret_cast<const qint16 *>(base)[index];
    case AV_SAMPLE_FMT_S32: return qint16(reinterpret_cast<const qint32 *>(base)[index] >> 16);
    case AV_SAMPLE_FMT_S64: return qint16(reinterpret_cast<const qint64 *>(base)[index] >> 48);
    case AV_SAMPLE_FMT_FLT: return clampFloat(reinterpret_cast<const float *>(base)[index]);
    case AV_SAMPLE_FMT_DBL: return clampFloat(reinterpret_cast<const double *>(base)[index]);
    default: break;
    }
    return 0;
}

class FfmpegDecoder final : public MediaDecoder {
public:
    ~FfmpegDecoder() override
    {
        m_pending.clear();           // waits for conversions still running
        av_packet_free(&m_held);
        av_packet_free(&m_packet);
        av_frame_free(&m_frame);
        sws_freeContext(m_sws);
        avcodec_free_context(&m_video);
        avcodec_free_context(&m_sound);
        avformat_close_input(&m_format);
    }

    bool open(const QString &path, bool withSound, QString *error) override;
    QSize videoSize() const override { return m_size; }
    double frameRate() const override { return m_fps; }
    int soundRate() const override { return m_sound ? m_sound->sample_rate : 0; }
    int soundChannels() const override { return m_sound ? qMin(2, m_sound->ch_layout.nb_channels) : 0; }
    Item next(QImage *picture, qint64 *ms, QByteArray *samples) override;
    QString errorString() const override { return m_error; }

private:
    struct Pending {
        Item item = Item::End;
        std::shared_future<QImage> picture;   // converted while the next one decodes
        qint64 ms = 0;
        QByteArray samples;
    };

    AVCodecContext *openCodec(int stream, bool threads);
    bool decodeOne(Pending *out);
    bool receive(AVCodecContext *ctx, Pending *out);
    QImage convertPicture(const AVFrame *frame);
    int picturesPending() const;
    QByteArray convertSound() const;
    bool fail(const QString &why)
    {
        m_error = why;
        return false;
    }

    AVFormatContext *m_format = nullptr;
    AVCodecContext *m_video = nullptr;
    AVCodecContext *m_sound = nullptr;
    int m_videoStream = -1;
    int m_soundStream = -1;
    AVFrame *m_frame = nullptr;
    AVPacket *m_packet = nullptr;
    AVPacket *m_held = nullptr;      // a packet the decoder could not take yet
    SwsContext *m_sws = nullptr;
    QSize m_size;
    double m_fps = 0;
    qint64 m_pictures = 0;
    int m_badPackets = 0;
    bool m_inputEnded = false;
    bool m_videoEnded = true;
    bool m_soundEnded = true;
    std::deque<Pending> m_pending;   // decoded, not yet handed out
    bool m_decodingDone = false;
    std::mutex m_convertMutex;       // one conversion at a time (m_sws)
    QString m_error;
};

AVCodecContext *FfmpegDecoder::openCodec(int stream, bool threads)
{
    const AVCodecParameters *par = m_format->streams[stream]->codecpar;
    const AVCodec *codec = avcodec_find_decoder(par->codec_id);
    if (!codec)
        return nullptr;
    AVCodecContext *ctx = avcodec_alloc_context3(codec);
    if (!ctx || avcodec_parameters_to_context(ctx, par) < 0) {
        avcodec_free_context(&ctx);
        return nullptr;
    }
    ctx->pkt_timebase = m_format->streams[stream]->time_base;
    applyBitmapStreamMasks(ctx);
    if (threads) {
        ctx->thread_count = 0;       // as many as there are cores
        ctx->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    }
    if (avcodec_open2(ctx, codec, nullptr) < 0)
        avcodec_free_context(&ctx);
    return ctx;
}

bool FfmpegDecoder::open(const QString &path, bool withSound, QString *error)
{
    // Our own messages say what failed; FFmpeg's notices would only be noise
    // on a teacher's terminal.
    static const bool quiet = (av_log_set_level(AV_LOG_QUIET), true);
    Q_UNUSED(quiet);
    const bool ok = [&] {
        // FFmpeg takes UTF-8 names on Windows, the file system's bytes elsewhere.
#ifdef Q_OS_WIN
        const QByteArray name = path.toUtf8();
#else
        const QByteArray name = QFile::encodeName(path);
#endif
        if (avformat_open_input(&m_format, name.constData(), nullptr, nullptr) < 0)
            return fail(QStringLiteral("not a video or sound file FFmpeg knows"));
        if (avformat_find_stream_info(m_format, nullptr) < 0)
            return fail(QStringLiteral("its streams cannot be read"));
        m_videoStream = av_find_best_stream(m_format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        // The cover picture of an MP3 tune is no video.
        if (m_videoStream >= 0
            && (m_format->streams[m_videoStream]->disposition & AV_DISPOSITION_ATTACHED_PIC))
            m_videoStream = -1;
        if (withSound)
            m_soundStream = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, m_videoStream, nullptr, 0);
        if (m_videoStream < 0 && m_soundStream < 0)
            return fail(QStringLiteral("it holds no pictures or sound"));
        if (m_videoStream >= 0) {
            const AVCodecParameters *par = m_format->streams[m_videoStream]->codecpar;
            m_size = QSize(par->width, par->height);
            if (m_size.isEmpty())
                return fail(QStringLiteral("its pictures have no size"));
            m_video = openCodec(m_videoStream, true);
            if (!m_video)
                return fail(QStringLiteral("no decoder for its pictures (%1)")
                                .arg(QString::fromLatin1(avcodec_get_name(par->codec_id))));
            const AVRational r = av_guess_frame_rate(m_format, m_format->streams[m_videoStream], nullptr);
            m_fps = r.num > 0 && r.den > 0 ? av_q2d(r) : 0;
            m_videoEnded = false;
        }
        if (m_soundStream >= 0) {
            m_sound = openCodec(m_soundStream, false);
            // A video whose sound cannot be decoded still shows; a tune fails.
            if (!m_sound && m_videoStream < 0)
                return fail(QStringLiteral("no decoder for its sound"));
            if (!m_sound || m_sound->ch_layout.nb_channels < 1 || m_sound->sample_rate <= 0) {
                avcodec_free_context(&m_sound);
                m_soundStream = -1;
            }
            m_soundEnded = m_sound == nullptr;
        }
        m_frame = av_frame_alloc();
        m_packet = av_packet_alloc();
        m_held = av_packet_alloc();
        // Decode until the first picture (a tune: the first sound), keeping
        // what came before it.
        const Item wanted = m_video ? Item::Picture : Item::Sound;
        std::deque<Pending> before;
        for (;;) {
            Pending p;
            if (!decodeOne(&p))
                return fail(m_error.isEmpty() ? QStringLiteral("nothing in it can be decoded") : m_error);
            if (p.item == wanted) {
                if (p.item == Item::Picture && p.picture.get().isNull())
                    return fail(QStringLiteral("its pictures cannot be converted"));
                m_pending.push_back(std::move(p));
                break;
            }
            before.push_back(std::move(p));
        }
        for (auto &p : before)
            m_pending.push_back(std::move(p));
        return true;
    }();
    if (!ok && error)
        *error = m_error;
    return ok;
}

int FfmpegDecoder::picturesPending() const
{
    return int(std::count_if(m_pending.begin(), m_pending.end(),
                             [](const Pending &p) { return p.item == Item::Picture; }));
}

MediaDecoder::Item FfmpegDecoder::next(QImage *picture, qint64 *ms, QByteArray *samples)
{
    // Decode ahead to the picture after the next one: converting a picture
    // then overlaps with decoding the next on a machine with two cores.
    while (!m_decodingDone && picturesPending() < 2) {
        Pending p;
        if (!decodeOne(&p)) {
            m_decodingDone = true;
            break;
        }
        m_pending.push_back(std::move(p));
    }
    if (m_pending.empty())
        return m_error.isEmpty() ? Item::End : Item::Failed;
    const Pending p = std::move(m_pending.front());
    m_pending.pop_front();
    if (p.item == Item::Picture) {
        *picture = p.picture.get();
        *ms = p.ms;
        if (picture->isNull()) {
            m_error = QStringLiteral("its pictures cannot be converted");
            return Item::Failed;
        }
    } else {
        *samples = p.samples;
    }
    return p.item;
}

// The next picture or sound block; false at the end (m_error empty) or on
// failure (m_error says why).
bool FfmpegDecoder::decodeOne(Pending *out)
{
    for (;;) {
        if (m_video && !m_videoEnded && receive(m_video, out))
            return true;
        if (m_sound && !m_soundEnded && receive(m_sound, out))
            return true;
        if (!m_error.isEmpty())
            return false;
        if (m_videoEnded && m_soundEnded)
            return false;
        if (m_inputEnded)
            continue;           // the decoders are draining

        AVPacket *pkt = m_held->data ? m_held : m_packet;
        if (pkt == m_packet) {
            const int r = av_read_frame(m_format, m_packet);
            if (r < 0) {
                // The end, or a file cut short: let the decoders give what
                // they still hold.
                m_inputEnded = true;
                if (m_video)
                    avcodec_send_packet(m_video, nullptr);
                if (m_sound)
                    avcodec_send_packet(m_sound, nullptr);
                continue;
            }
        }
        AVCodecContext *ctx = pkt->stream_index == m_videoStream ? m_video
                              : pkt->stream_index == m_soundStream ? m_sound : nullptr;
        if (!ctx) {
            av_packet_unref(pkt);
            continue;
        }
        const int r = avcodec_send_packet(ctx, pkt);
        if (r == AVERROR(EAGAIN)) {
            if (pkt == m_packet)
                av_packet_move_ref(m_held, m_packet);
            continue;            // take its output first
        }
        av_packet_unref(pkt);
        if (r < 0 && ctx == m_video && ++m_badPackets > kMaxBadPackets && m_pictures == 0) {
            m_error = QStringLiteral("its pictures cannot be decoded");
            return false;
        }
    }
}

bool FfmpegDecoder::receive(AVCodecContext *ctx, Pending *out)
{
    const int r = avcodec_receive_frame(ctx, m_frame);
    if (r == AVERROR_EOF) {
        (ctx == m_video ? m_videoEnded : m_soundEnded) = true;
        if (ctx == m_video && m_pictures == 0)
            m_error = QStringLiteral("its pictures cannot be decoded");
        return false;
    }
    if (r < 0) {
        // EAGAIN: it wants more input; a damaged frame is skipped. Once the
        // input has ended nothing more can come.
        if (m_inputEnded)
            (ctx == m_video ? m_videoEnded : m_soundEnded) = true;
        return false;
    }
    if (ctx == m_video) {
        out->item = Item::Picture;
        AVFrame *copy = av_frame_clone(m_frame);
        if (!copy) {
            m_error = QStringLiteral("out of memory");
            av_frame_unref(m_frame);
            return false;
        }
        out->picture = std::async(std::launch::async, [this, copy] {
                           AVFrame *f = copy;
                           QImage image = convertPicture(f);
                           av_frame_free(&f);
                           return image;
                       }).share();
        const qint64 ts = m_frame->best_effort_timestamp;
        const AVRational tb = m_format->streams[m_videoStream]->time_base;
        const qint64 start = m_format->streams[m_videoStream]->start_time;
        if (ts != AV_NOPTS_VALUE)
            out->ms = av_rescale_q(ts - (start != AV_NOPTS_VALUE ? start : 0), tb, AVRational{1, 1000});
        else
            out->ms = m_fps > 0 ? qint64(m_pictures * 1000 / m_fps) : 0;
        ++m_pictures;
        av_frame_unref(m_frame);
        return true;
    }
    out->item = Item::Sound;
    out->samples = convertSound();
    av_frame_unref(m_frame);
    return true;
}

QImage FfmpegDecoder::convertPicture(const AVFrame *frame)
{
    std::lock_guard<std::mutex> lock(m_convertMutex);
    const int w = frame->width;
    const int h = frame->height;
    auto src = withoutAlpha(AVPixelFormat(frame->format));
    // A picture size that changes inside the stream is shown at the stream's
    // size, as the box was laid out for it.
    const int ow = m_size.width();
    const int oh = m_size.height();
    const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(src);
    const bool rgb = d && (d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL));
    // Bitmaps (palettes, RGB) are copied exactly; YUV pictures take
    // libswscale's fast converters, which are within rounding of the exact
    // ones and several times quicker.
    const int flags = rgb ? SWS_POINT | SWS_ACCURATE_RND : SWS_FAST_BILINEAR;
    m_sws = sws_getCachedContext(m_sws, w, h, src, ow, oh, AV_PIX_FMT_BGRA, flags, nullptr, nullptr, nullptr);
    if (!m_sws)
        return {};
    QImage image(ow, oh, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    uint8_t *dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int dstStride[4] = {int(image.bytesPerLine()), 0, 0, 0};
    sws_scale(m_sws, frame->data, frame->linesize, 0, h, dst, dstStride);
    // Palettes and RGB formats may leave the fourth byte at 0; a QImage in
    // this format wants it at 255.
    if (rgb) {
        // 5- and 6-bit channels (16-bit bitmaps) widened as Windows and our
        // picture reader widen them, by shifting (white 5-5-5 is 248, not
        // 255): libswscale repeats the top bits below.
        const bool narrow = (d->flags & AV_PIX_FMT_FLAG_RGB) && d->nb_components >= 3
                            && d->comp[0].depth < 8;
        const quint32 keep = narrow ? 0xff000000u | quint32(0xff << (8 - d->comp[0].depth) & 0xff) << 16
                                          | quint32(0xff << (8 - d->comp[1].depth) & 0xff) << 8
                                          | quint32(0xff << (8 - d->comp[2].depth) & 0xff)
                                    : 0xffffffffu;
        for (int y = 0; y < oh; ++y) {
            auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
            for (int x = 0; x < ow; ++x)
                line[x] = (line[x] | 0xff000000u) & keep;
        }
    }
    return image;
}

QByteArray FfmpegDecoder::convertSound() const
{
    const int n = m_frame->nb_samples;
    const int inChannels = m_frame->ch_layout.nb_channels;
    const int outChannels = qMin(2, inChannels);
    if (n <= 0 || inChannels < 1)
        return {};
    QByteArray out(n * outChannels * 2, Qt::Uninitialized);
    auto *d = reinterpret_cast<qint16 *>(out.data());
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < outChannels; ++c)
            *d++ = sampleAt(m_frame, c, i);
    return out;
}

} // namespace

extern "C" Q_DECL_EXPORT MediaDecoder *ardeno_create_media_decoder(int version)
{
    if (version != kMediaDecoderInterfaceVersion)
        return nullptr;
    return new FfmpegDecoder;
}
