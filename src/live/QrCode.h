#pragma once
// The join address as a QR code (libqrencode), drawn black on white with
// the quiet zone phones need around it.

#include <QImage>
#include <QString>

namespace QrCode {
// Each module `scale` pixels square, a quiet zone of four modules; a null
// image when the text cannot be encoded.
QImage image(const QString &text, int scale = 8);
}
