#pragma once
// The boundary between QrCode.h and libqrencode, in a module of its own
// (libardeno_qrcode.so) loaded with the first code drawn (a live class's
// join address, a class's answer sheets), not with every start of the
// editor. The module exports one extern "C" function,
// ardeno_create_qr_encoder(version), returning a new encoder or nullptr
// when it was built for another version of this interface.

#include <QByteArray>
#include <QImage>

class QrEncoder {
public:
    virtual ~QrEncoder() = default;
    // As QrCode::image.
    virtual QImage image(const QByteArray &bytes, int scale) = 0;
};

constexpr int kQrEncoderInterfaceVersion = 1;
#define ARDENO_QRCODE_MODULE "ardeno_qrcode"
#define ARDENO_QRCODE_FACTORY "ardeno_create_qr_encoder"
