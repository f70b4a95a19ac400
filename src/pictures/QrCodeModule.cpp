// Codes drawn by libqrencode: the module behind QrCode.h (see QrEncoder.h).
#include "pictures/QrEncoder.h"

#include <qrencode.h>

namespace {
class LibqrencodeEncoder : public QrEncoder {
public:
    QImage image(const QByteArray &bytes, int scale) override;
};

QImage LibqrencodeEncoder::image(const QByteArray &bytes, int scale)
{
    // Medium error correction: readable from the back of a room, from a
    // projector with a smudge on it.
    QRcode *code = QRcode_encodeData(int(bytes.size()), reinterpret_cast<const unsigned char *>(bytes.constData()), 0, QR_ECLEVEL_M);
    if (!code)
        return {};
    constexpr int quiet = 4;
    const int side = (code->width + 2 * quiet) * scale;
    QImage out(side, side, QImage::Format_Grayscale8);
    out.fill(255);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (!(code->data[y * code->width + x] & 1))
                continue;
            for (int dy = 0; dy < scale; ++dy) {
                uchar *line = out.scanLine((y + quiet) * scale + dy);
                std::fill_n(line + (x + quiet) * scale, scale, uchar(0));
            }
        }
    }
    QRcode_free(code);
    return out;
}
}

extern "C" Q_DECL_EXPORT QrEncoder *ardeno_create_qr_encoder(int version)
{
    return version == kQrEncoderInterfaceVersion ? new LibqrencodeEncoder : nullptr;
}
