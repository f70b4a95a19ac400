#pragma once
// Encodes bitmap frames for the AVI writer. Input is a bitmap-info block (as
// in a BMP file or an AVI 'strf') and the raw pixel rows it describes; output
// is one packet per frame plus the 'strf' block of the compressed stream.
// The encoding itself (libavcodec, libswscale) lives in the encoder module
// (libardeno_encoders.so, see EncoderBackend.h), loaded on the first
// compressed write or when the compression options list the encoders, so
// programs that link the AVI maker do not load libavcodec at start-up.

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

enum class VideoCodec { None, Mjpeg, Cinepak, MsVideo1, Ffv1, Mpeg4, Huffyuv, Zmbv };

struct VideoCodecInfo {
    VideoCodec id;
    const char *toolName;     // the name ardeno-tool takes after --codec
    const char *displayName;  // as listed in the compression options
    std::uint32_t fourcc;     // written to strh.fccHandler and biCompression
    const char *encoder;      // libavcodec encoder name (nullptr: full frames)
    bool usesKeyFrames;       // has delta frames, so a key-frame interval matters
    bool usesDataRate;        // follows a target bit rate
    bool usesQuality;         // follows a quality setting
};

// Full frames first, then the encoders in the order the dialog lists them.
const QList<VideoCodecInfo> &videoCodecs();
const VideoCodecInfo *videoCodecByFourcc(std::uint32_t fourcc);
const VideoCodecInfo *videoCodecByToolName(const QString &name);

// The pixel formats of bitmap rows the encoders read.
enum class DibPixels { None, Pal8, Rgb555, Rgb565, Bgr24, Bgr0 };

// How the pixel rows of a bitmap-info block are laid out; valid() when the
// encoders can read them (plain rows of 1, 4, 8, 16, 24 or 32 bits, or 16/32
// bit with the usual masks).
struct DibLayout {
    int width = 0;
    int height = 0;          // rows, always positive
    bool topDown = false;
    int bitCount = 0;
    std::int64_t stride = 0; // bytes per stored row
    std::int64_t imageSize = 0;
    DibPixels pixels = DibPixels::None;   // the rows as stored (1 and 4 bits: Pal8)
    QList<std::uint32_t> palette;   // 0xAARRGGBB
    bool valid() const { return pixels != DibPixels::None; }
    static DibLayout fromBitmapInfo(const QByteArray &bitmapInfo);
};

struct EncoderSettings {
    int fps = 1;
    int keyFrameEvery = 0;    // 0: the encoder's default
    int quality = -1;         // 0..100, -1: the encoder's default
    std::int64_t bytesPerSecond = 0;   // 0: no target data rate
};

struct EncodedPacket {
    QByteArray data;
    bool keyFrame = false;
};

class EncoderBackend;

class FrameEncoder {
public:
    FrameEncoder();
    ~FrameEncoder();
    FrameEncoder(const FrameEncoder &) = delete;
    FrameEncoder &operator=(const FrameEncoder &) = delete;

    bool open(VideoCodec codec, const DibLayout &source, const EncoderSettings &settings);
    // Converts and encodes one frame; packets that are ready are appended
    // (an encoder with delay returns earlier frames later).
    bool encode(const unsigned char *pixels, std::int64_t size, QList<EncodedPacket> &out);
    // Returns the frames the encoder still holds.
    bool flush(QList<EncodedPacket> &out);

    // BITMAPINFOHEADER of the compressed stream plus the codec's extra data.
    QByteArray streamFormat() const;
    std::uint32_t fourcc() const;
    QString errorString() const { return m_error; }

private:
    VideoCodec m_codec = VideoCodec::None;
    std::unique_ptr<EncoderBackend> m_backend;
    QString m_error;
};

// True when the encoder module loads; otherwise only full frames can be
// written and `why` says what is missing.
bool encodersAvailable(QString *why = nullptr);

// True when the codec's encoder exists here and accepts frames of this
// layout and size.
bool codecApplies(VideoCodec codec, const DibLayout &source);
