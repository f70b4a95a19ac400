#include "pictures/QrCode.h"
#include "pictures/QrEncoder.h"

#include "platform/ModuleLoader.h"

namespace QrCode {
QImage image(const QByteArray &bytes, int scale)
{
    // Loaded with the first code and kept for the program's life.
    QrEncoder *encoder = ModuleLoader::shared<QrEncoder>(QStringLiteral(ARDENO_QRCODE_MODULE), ARDENO_QRCODE_FACTORY,
                                                         kQrEncoderInterfaceVersion);
    return encoder ? encoder->image(bytes, scale) : QImage();
}
}
