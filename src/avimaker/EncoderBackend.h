#pragma once
// The boundary between the AVI maker and its encoder module
// (libardeno_encoders.so). The module exports one extern "C" function,
// ardeno_create_encoder(version), returning a new backend or nullptr when it
// was built for another version of this interface. Both sides are built from
// the same sources, so Qt types cross the boundary as they are.

#include "avimaker/EncoderTypes.h"

class EncoderBackend {
public:
    virtual ~EncoderBackend() = default;
    virtual bool open(const VideoCodecInfo &info, const DibLayout &source,
                      const EncoderSettings &settings) = 0;
    virtual bool encode(const unsigned char *pixels, std::int64_t size, QList<EncodedPacket> &out) = 0;
    virtual bool flush(QList<EncodedPacket> &out) = 0;
    // BITMAPINFOHEADER with the given FOURCC plus the codec's extra data;
    // empty before a successful open().
    virtual QByteArray streamFormat(std::uint32_t fourcc) const = 0;
    virtual QString errorString() const = 0;
};

constexpr int kEncoderInterfaceVersion = 1;
using CreateEncoderBackend = EncoderBackend *(*)(int version);
#define ARDENO_ENCODER_MODULE "ardeno_encoders"
#define ARDENO_ENCODER_FACTORY "ardeno_create_encoder"
