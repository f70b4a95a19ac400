#pragma once
// Pictures of kinds a test cannot hold (PNG, GIF, WebP: what learning
// platforms and phones hand out) made into kinds it can: a photograph
// becomes a JPEG, a drawing (few colours, or transparency, laid on white) a
// BMP. The one rule that tells a drawing from a photograph is here too; the
// web page uses it the other way round.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace PictureConversion {

// Transparency, or at most 256 colours: a chart, a map, a diagram.
bool isDrawingLike(const QImage &image);

// Whether a file of this name is a picture of a kind a test cannot hold
// but this conversion can take (by the text after its last full stop).
bool isForeignPictureName(const QString &name);
// Whether the bytes begin like such a picture.
bool looksForeign(const QByteArray &head);

struct Converted {
    QByteArray bytes;
    QString suffix;   // "jpg" or "bmp"
    QString error;    // why the picture could not be read
    bool ok() const { return error.isEmpty(); }
};

// The picture in `data` (any kind Qt reads, within the pixel budget
// decided from its header) as a JPEG or a BMP.
Converted toTestPicture(const QByteArray &data);

}
