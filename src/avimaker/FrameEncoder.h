#pragma once
// Encodes bitmap frames for the AVI writer. Input is a bitmap-info block (as
// in a BMP file or an AVI 'strf') and the raw pixel rows it describes; output
// is one packet per frame plus the 'strf' block of the compressed stream.
// The encoding itself (libavcodec, libswscale) lives in the encoder module
// (libardeno_encoders.so, see EncoderBackend.h), loaded on the first
// compressed write or when the compression options list the encoders, so
// programs that link the AVI maker do not load libavcodec at start-up.

#include "avimaker/EncoderTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

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
