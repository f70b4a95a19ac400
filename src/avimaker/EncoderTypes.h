#pragma once
// What the AVI maker and its encoder module share: the codecs, the layout of
// bitmap rows, the settings and the encoded packets.

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

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
