#pragma once
// Text as a QR code (libqrencode), drawn black on white with the quiet zone
// readers need around it: the live class's join address, the code on each
// answer sheet of the paper class.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace QrCode {
// Each module `scale` pixels square, a quiet zone of four modules; a null
// image when the bytes cannot be encoded (over a code's capacity) or the
// module that draws codes (QrEncoder.h) cannot be had.
QImage image(const QByteArray &bytes, int scale = 8);
// The text as UTF-8.
inline QImage image(const QString &text, int scale = 8) { return image(text.toUtf8(), scale); }
}
