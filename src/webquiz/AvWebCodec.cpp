// The web quiz's codec module: videos transcoded and tunes encoded with
// libavformat, libavcodec, libswscale and libswresample. Built as
// libardeno_webcodec.so and loaded on first use (see WebCodec.h); it links
// only Qt Core and the libav libraries.
#include "webquiz/WebCodec.h"

#include "media/BitmapStreamMasks.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {
QString avError(int code)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

struct FormatInput {
    AVFormatContext *ctx = nullptr;
    ~FormatInput() { avformat_close_input(&ctx); }
};
struct CodecCtx {
    AVCodecContext *ctx = nullptr;
    ~CodecCtx() { avcodec_free_context(&ctx); }
};
struct Frame {
    AVFrame *f = av_frame_alloc();
    ~Frame() { av_frame_free(&f); }
};
struct Packet {
    AVPacket *p = av_packet_alloc();
    ~Packet() { av_packet_free(&p); }
};

// The containers and codecs browsers play; the first whose encoders this
// libavcodec has wins.
struct Target {
    const char *container;
    const char *mime;
    const char *video;
    const char *audio;
    const char *videoLabel;
    const char *audioLabel;
    const char *containerLabel;
};
constexpr Target kVideoTargets[] = {
    {"mp4", "video/mp4", "libx264", "aac", "H.264", "AAC", "MP4"},
    {"webm", "video/webm", "libvpx-vp9", "libopus", "VP9", "Opus", "WebM"},
};
struct AudioTarget {
    const char *container;
    const char *mime;
    const char *codec;
    int rate;
    const char *label;
};
constexpr AudioTarget kAudioTargets[] = {
    {"mp3", "audio/mpeg", "libmp3lame", 44100, "MP3"},
    {"ogg", "audio/ogg", "libopus", 48000, "Opus in Ogg"},
};

// One output file being muxed into a temporary folder, read back at the end.
class Muxer {
public:
    ~Muxer()
    {
        if (m_ctx) {
            if (m_ctx->pb)
                avio_closep(&m_ctx->pb);
            avformat_free_context(m_ctx);
        }
    }
    bool open(const char *container, QString *error)
    {
        if (!m_dir.isValid())
            return fail(QStringLiteral("cannot create a temporary folder"), error);
        m_path = m_dir.filePath(QStringLiteral("out.") + QLatin1String(container));
        const int r = avformat_alloc_output_context2(&m_ctx, nullptr, container, m_path.toUtf8().constData());
        if (r < 0 || !m_ctx)
            return fail(QStringLiteral("no %1 writer: %2").arg(QLatin1String(container), avError(r)), error);
        return true;
    }
    AVStream *addStream(AVCodecContext *enc, QString *error)
    {
        AVStream *s = avformat_new_stream(m_ctx, nullptr);
        if (!s || avcodec_parameters_from_context(s->codecpar, enc) < 0) {
            fail(QStringLiteral("cannot add a stream"), error);
            return nullptr;
        }
        s->time_base = enc->time_base;
        return s;
    }
    bool start(QString *error)
    {
        int r = avio_open(&m_ctx->pb, m_path.toUtf8().constData(), AVIO_FLAG_WRITE);
        if (r < 0)
            return fail(QStringLiteral("cannot write %1: %2").arg(m_path, avError(r)), error);
        AVDictionary *opts = nullptr;
        // The index first, so a browser starts playing before the whole file is decoded.
        av_dict_set(&opts, "movflags", "+faststart", 0);
        r = avformat_write_header(m_ctx, &opts);
        av_dict_free(&opts);
        return r < 0 ? fail(QStringLiteral("cannot start the file: ") + avError(r), error) : true;
    }
    // Drains the encoder's packets into the file (flushing when frame is null).
    bool write(AVCodecContext *enc, AVStream *stream, const AVFrame *frame, QString *error)
    {
        int r = avcodec_send_frame(enc, frame);
        if (r < 0 && r != AVERROR_EOF)
            return fail(QStringLiteral("encoding failed: ") + avError(r), error);
        Packet pkt;
        while ((r = avcodec_receive_packet(enc, pkt.p)) >= 0) {
            av_packet_rescale_ts(pkt.p, enc->time_base, stream->time_base);
            pkt.p->stream_index = stream->index;
            r = av_interleaved_write_frame(m_ctx, pkt.p);
            if (r < 0)
                return fail(QStringLiteral("writing failed: ") + avError(r), error);
        }
        return r == AVERROR(EAGAIN) || r == AVERROR_EOF ? true
                                                        : fail(QStringLiteral("encoding failed: ") + avError(r), error);
    }
    bool finish(QByteArray *bytes, QString *error)
    {
        int r = av_write_trailer(m_ctx);
        avio_closep(&m_ctx->pb);
        if (r < 0)
            return fail(QStringLiteral("cannot finish the file: ") + avError(r), error);
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly))
            return fail(f.errorString(), error);
        *bytes = f.readAll();
        return true;
    }
    AVFormatContext *context() const { return m_ctx; }

private:
    static bool fail(const QString &why, QString *error)
    {
        if (error)
            *error = why;
        return false;
    }
    QTemporaryDir m_dir;
    QString m_path;
    AVFormatContext *m_ctx = nullptr;
};

bool fail(const QString &why, QString *error)
{
    if (error)
        *error = why;
    return false;
}

// Audio leaves the resampler in any block size; encoders want theirs.
class AudioEncoder {
public:
    ~AudioEncoder()
    {
        swr_free(&m_swr);
        if (m_fifo)
            av_audio_fifo_free(m_fifo);
    }
    bool open(const AVCodec *codec, int rate, Muxer &mux, QString *error)
    {
        m_enc.ctx = avcodec_alloc_context3(codec);
        AVCodecContext *c = m_enc.ctx;
        c->sample_rate = rate;
        av_channel_layout_default(&c->ch_layout, 2);
        c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
        c->bit_rate = 128000;
        c->time_base = AVRational{1, rate};
        if (mux.context()->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        const int r = avcodec_open2(c, codec, nullptr);
        if (r < 0)
            return fail(QStringLiteral("cannot open the %1 encoder: %2").arg(QLatin1String(codec->name), avError(r)), error);
        m_stream = mux.addStream(c, error);
        m_fifo = av_audio_fifo_alloc(c->sample_fmt, 2, 4096);
        return m_stream && m_fifo;
    }
    // Converts input samples of the given layout into the fifo.
    bool push(const uint8_t **data, int samples, AVSampleFormat fmt, const AVChannelLayout &layout, int rate,
              QString *error)
    {
        AVCodecContext *c = m_enc.ctx;
        if (!m_swr) {
            // This libswresample takes the input layout by a non-const pointer.
            AVChannelLayout in{};
            av_channel_layout_copy(&in, &layout);
            const int made = swr_alloc_set_opts2(&m_swr, &c->ch_layout, c->sample_fmt, c->sample_rate, &in, fmt,
                                                 rate, 0, nullptr);
            av_channel_layout_uninit(&in);
            if (made < 0
                || swr_init(m_swr) < 0)
                return fail(QStringLiteral("cannot convert the sound"), error);
        }
        const int outMax = int(av_rescale_rnd(swr_get_delay(m_swr, rate) + samples, c->sample_rate, rate, AV_ROUND_UP));
        uint8_t **out = nullptr;
        if (av_samples_alloc_array_and_samples(&out, nullptr, 2, outMax + 1, c->sample_fmt, 0) < 0)
            return fail(QStringLiteral("out of memory"), error);
        const int got = swr_convert(m_swr, out, outMax, data, samples);
        if (got > 0)
            av_audio_fifo_write(m_fifo, reinterpret_cast<void **>(out), got);
        av_freep(&out[0]);
        av_freep(&out);
        return got >= 0 ? true : fail(QStringLiteral("cannot convert the sound"), error);
    }
    bool drain(Muxer &mux, bool final, QString *error)
    {
        AVCodecContext *c = m_enc.ctx;
        const int size = c->frame_size > 0 ? c->frame_size : 1024;
        while (av_audio_fifo_size(m_fifo) >= size || (final && av_audio_fifo_size(m_fifo) > 0)) {
            Frame frame;
            frame.f->nb_samples = std::min(size, av_audio_fifo_size(m_fifo));
            frame.f->format = c->sample_fmt;
            frame.f->sample_rate = c->sample_rate;
            av_channel_layout_copy(&frame.f->ch_layout, &c->ch_layout);
            if (av_frame_get_buffer(frame.f, 0) < 0)
                return fail(QStringLiteral("out of memory"), error);
            av_audio_fifo_read(m_fifo, reinterpret_cast<void **>(frame.f->data), frame.f->nb_samples);
            frame.f->pts = m_pts;
            m_pts += frame.f->nb_samples;
            if (!mux.write(c, m_stream, frame.f, error))
                return false;
        }
        return final ? mux.write(c, m_stream, nullptr, error) : true;
    }

private:
    CodecCtx m_enc;
    AVStream *m_stream = nullptr;
    SwrContext *m_swr = nullptr;
    AVAudioFifo *m_fifo = nullptr;
    int64_t m_pts = 0;
};

class AvWebCodec final : public WebCodec {
public:
    bool transcodeVideo(const QString &path, WebMedia *out, QString *error) override
    {
        const Target *target = nullptr;
        for (const Target &t : kVideoTargets)
            if (avcodec_find_encoder_by_name(t.video) && avcodec_find_encoder_by_name(t.audio)) {
                target = &t;
                break;
            }
        if (!target)
            return fail(QStringLiteral("this libavcodec has neither an H.264 nor a VP9 encoder"), error);

        FormatInput in;
        int r = avformat_open_input(&in.ctx, path.toUtf8().constData(), nullptr, nullptr);
        if (r < 0)
            return fail(QStringLiteral("cannot read the video: ") + avError(r), error);
        if ((r = avformat_find_stream_info(in.ctx, nullptr)) < 0)
            return fail(QStringLiteral("cannot read the video: ") + avError(r), error);
        const int vIndex = av_find_best_stream(in.ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (vIndex < 0)
            return fail(QStringLiteral("the file holds no video"), error);
        const int aIndex = av_find_best_stream(in.ctx, AVMEDIA_TYPE_AUDIO, -1, vIndex, nullptr, 0);

        AVStream *vin = in.ctx->streams[vIndex];
        CodecCtx vdec;
        if (!openDecoder(vin, vdec, error))
            return false;
        CodecCtx adec;
        if (aIndex >= 0 && !openDecoder(in.ctx->streams[aIndex], adec, error))
            return false;

        Muxer mux;
        if (!mux.open(target->container, error))
            return false;

        // The video keeps its size (even, as 4:2:0 needs) and its frame rate.
        AVRational rate = av_guess_frame_rate(in.ctx, vin, nullptr);
        if (rate.num <= 0 || rate.den <= 0)
            rate = AVRational{25, 1};
        const int width = std::max(2, vdec.ctx->width & ~1);
        const int height = std::max(2, vdec.ctx->height & ~1);
        const AVCodec *vcodec = avcodec_find_encoder_by_name(target->video);
        CodecCtx venc;
        venc.ctx = avcodec_alloc_context3(vcodec);
        venc.ctx->width = width;
        venc.ctx->height = height;
        venc.ctx->pix_fmt = AV_PIX_FMT_YUV420P;
        venc.ctx->time_base = av_inv_q(rate);
        venc.ctx->framerate = rate;
        venc.ctx->sample_aspect_ratio = vdec.ctx->sample_aspect_ratio;
        if (mux.context()->oformat->flags & AVFMT_GLOBALHEADER)
            venc.ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary *opts = nullptr;
        if (QLatin1String(target->video) == QLatin1String("libx264")) {
            av_dict_set(&opts, "preset", "veryfast", 0);
            av_dict_set(&opts, "crf", "23", 0);
        } else {
            av_dict_set(&opts, "deadline", "realtime", 0);
            av_dict_set(&opts, "crf", "32", 0);
            av_dict_set(&opts, "b", "0", 0);
        }
        r = avcodec_open2(venc.ctx, vcodec, &opts);
        av_dict_free(&opts);
        if (r < 0)
            return fail(QStringLiteral("cannot open the %1 encoder: %2").arg(QLatin1String(target->video), avError(r)), error);
        AVStream *vout = mux.addStream(venc.ctx, error);
        if (!vout)
            return false;
        vout->avg_frame_rate = rate;

        std::unique_ptr<AudioEncoder> aenc;
        if (aIndex >= 0) {
            aenc = std::make_unique<AudioEncoder>();
            const AVCodec *acodec = avcodec_find_encoder_by_name(target->audio);
            const int arate = QLatin1String(target->audio) == QLatin1String("libopus") ? 48000 : 44100;
            if (!aenc->open(acodec, arate, mux, error))
                return false;
        }
        if (!mux.start(error))
            return false;

        SwsContext *sws = nullptr;
        Frame decoded, scaled;
        scaled.f->format = AV_PIX_FMT_YUV420P;
        scaled.f->width = width;
        scaled.f->height = height;
        if (av_frame_get_buffer(scaled.f, 0) < 0)
            return fail(QStringLiteral("out of memory"), error);
        int64_t nextPts = 0;
        int64_t firstTs = AV_NOPTS_VALUE;

        auto takeVideo = [&]() -> bool {
            int rr;
            while ((rr = avcodec_receive_frame(vdec.ctx, decoded.f)) >= 0) {
                sws = sws_getCachedContext(sws, decoded.f->width, decoded.f->height, AVPixelFormat(decoded.f->format),
                                           width, height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
                if (!sws || av_frame_make_writable(scaled.f) < 0)
                    return fail(QStringLiteral("cannot convert the video's pictures"), error);
                sws_scale(sws, decoded.f->data, decoded.f->linesize, 0, decoded.f->height, scaled.f->data,
                          scaled.f->linesize);
                // Timestamps from the file (MPEG starts late), counted from its
                // first picture, in frames of the kept rate; never backwards.
                int64_t pts = nextPts;
                const int64_t ts = decoded.f->best_effort_timestamp;
                if (ts != AV_NOPTS_VALUE) {
                    if (firstTs == AV_NOPTS_VALUE)
                        firstTs = ts;
                    pts = std::max(nextPts, av_rescale_q(ts - firstTs, vin->time_base, venc.ctx->time_base));
                }
                scaled.f->pts = pts;
                nextPts = pts + 1;
                av_frame_unref(decoded.f);
                if (!mux.write(venc.ctx, vout, scaled.f, error))
                    return false;
            }
            return rr == AVERROR(EAGAIN) || rr == AVERROR_EOF ? true
                                                              : fail(QStringLiteral("cannot decode the video: ") + avError(rr), error);
        };
        auto takeAudio = [&]() -> bool {
            int rr;
            while ((rr = avcodec_receive_frame(adec.ctx, decoded.f)) >= 0) {
                const bool ok = aenc->push(const_cast<const uint8_t **>(decoded.f->extended_data), decoded.f->nb_samples,
                                           AVSampleFormat(decoded.f->format), decoded.f->ch_layout,
                                           decoded.f->sample_rate, error)
                                && aenc->drain(mux, false, error);
                av_frame_unref(decoded.f);
                if (!ok)
                    return false;
            }
            return true;
        };

        bool ok = true;
        Packet pkt;
        while (ok && av_read_frame(in.ctx, pkt.p) >= 0) {
            if (pkt.p->stream_index == vIndex) {
                if (avcodec_send_packet(vdec.ctx, pkt.p) >= 0)
                    ok = takeVideo();
            } else if (pkt.p->stream_index == aIndex && aenc) {
                if (avcodec_send_packet(adec.ctx, pkt.p) >= 0)
                    ok = takeAudio();
            }
            av_packet_unref(pkt.p);
        }
        if (ok) {
            avcodec_send_packet(vdec.ctx, nullptr);
            ok = takeVideo() && mux.write(venc.ctx, vout, nullptr, error);
        }
        if (ok && aenc) {
            avcodec_send_packet(adec.ctx, nullptr);
            ok = takeAudio() && aenc->drain(mux, true, error);
        }
        sws_freeContext(sws);
        if (!ok)
            return false;
        if (nextPts == 0)
            return fail(QStringLiteral("the video holds no pictures"), error);
        if (!mux.finish(&out->bytes, error))
            return false;
        out->mimeType = QLatin1String(target->mime);
        const QString codecs = aenc ? QStringLiteral("%1 + %2").arg(QLatin1String(target->videoLabel),
                                                                       QLatin1String(target->audioLabel))
                                    : QLatin1String(target->videoLabel);
        out->description = QStringLiteral("%1 in %2, %3x%4 at %5 frames/s")
                               .arg(codecs, QLatin1String(target->containerLabel))
                               .arg(width)
                               .arg(height)
                               .arg(av_q2d(rate), 0, 'g', 4);
        return true;
    }

    bool encodeAudio(const QByteArray &pcm, int sampleRate, int channels, WebMedia *out, QString *error) override
    {
        const AudioTarget *target = nullptr;
        for (const AudioTarget &t : kAudioTargets)
            if (avcodec_find_encoder_by_name(t.codec)) {
                target = &t;
                break;
            }
        if (!target)
            return fail(QStringLiteral("this libavcodec has neither an MP3 nor an Opus encoder"), error);
        if (channels < 1 || channels > 2 || sampleRate <= 0)
            return fail(QStringLiteral("unsupported sound layout"), error);
        Muxer mux;
        AudioEncoder enc;
        if (!mux.open(target->container, error)
            || !enc.open(avcodec_find_encoder_by_name(target->codec), target->rate, mux, error) || !mux.start(error))
            return false;
        AVChannelLayout layout;
        av_channel_layout_default(&layout, channels);
        const int frameBytes = 2 * channels;
        const int total = int(pcm.size() / frameBytes);
        constexpr int kBlock = 4096;
        for (int at = 0; at < total; at += kBlock) {
            const uint8_t *data[1] = {reinterpret_cast<const uint8_t *>(pcm.constData()) + qsizetype(at) * frameBytes};
            if (!enc.push(data, std::min(kBlock, total - at), AV_SAMPLE_FMT_S16, layout, sampleRate, error)
                || !enc.drain(mux, false, error))
                return false;
        }
        if (!enc.drain(mux, true, error) || !mux.finish(&out->bytes, error))
            return false;
        out->mimeType = QLatin1String(target->mime);
        out->description = QLatin1String(target->label);
        return true;
    }

private:
    static bool openDecoder(AVStream *stream, CodecCtx &dec, QString *error)
    {
        const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
        if (!codec)
            return fail(QStringLiteral("no decoder for %1").arg(QLatin1String(avcodec_get_name(stream->codecpar->codec_id))), error);
        dec.ctx = avcodec_alloc_context3(codec);
        if (avcodec_parameters_to_context(dec.ctx, stream->codecpar) < 0)
            return fail(QStringLiteral("cannot read the stream's parameters"), error);
        dec.ctx->pkt_timebase = stream->time_base;
        applyBitmapStreamMasks(dec.ctx);
        const int r = avcodec_open2(dec.ctx, codec, nullptr);
        return r < 0 ? fail(QStringLiteral("cannot open the decoder: ") + avError(r), error) : true;
    }
};
}

extern "C" Q_DECL_EXPORT WebCodec *ardeno_create_webcodec(int version)
{
    // libav's notes would fill the terminal; failures come back as errors.
    av_log_set_level(AV_LOG_ERROR);
    return version == kWebCodecInterfaceVersion ? new AvWebCodec : nullptr;
}
