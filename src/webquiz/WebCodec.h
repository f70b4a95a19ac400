#pragma once
// The boundary between the web quiz export and its codec module
// (libardeno_webcodec.so, libavformat/libavcodec), loaded on the first
// video or tune an export converts, so that the editor does not load FFmpeg
// at start-up. The module exports one extern "C" function,
// ardeno_create_webcodec(version), returning a new codec or nullptr when it
// was built for another version of this interface.

#include <QByteArray>
#include <QString>

struct WebMedia {
    QByteArray bytes;
    QString mimeType;      // e.g. "video/mp4", "audio/mpeg"
    QString description;   // e.g. "H.264 + AAC in MP4, 320x240 at 10 frames/s"
};

class WebCodec {
public:
    virtual ~WebCodec() = default;
    // An AVI or MPEG video transcoded at its size and frame rate into
    // H.264 (+ AAC) in MP4, or VP9 (+ Opus) in WebM where libavcodec lacks
    // an H.264 encoder. False with the reason in `error`.
    virtual bool transcodeVideo(const QString &path, WebMedia *out, QString *error) = 0;
    // Interleaved 16-bit PCM encoded as MP3 (or Opus in Ogg without an MP3
    // encoder).
    virtual bool encodeAudio(const QByteArray &pcm, int sampleRate, int channels, WebMedia *out,
                             QString *error) = 0;
};

constexpr int kWebCodecInterfaceVersion = 1;
using CreateWebCodec = WebCodec *(*)(int version);
#define ARDENO_WEBCODEC_MODULE "ardeno_webcodec"
#define ARDENO_WEBCODEC_FACTORY "ardeno_create_webcodec"
