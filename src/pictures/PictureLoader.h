#pragma once
// Loading pictures the way the program's picture boxes do: BMP and JPEG
// (and whatever else Qt's image readers know, decided by content, not by
// extension) and Windows metafiles (WMF, drawn through libwmf).
//
// Two sizes belong to every picture:
//  - naturalPixels: the size a picture box takes when the picture is loaded
//    into it, in screen pixels. For BMP/JPEG the pixel size of the image;
//    for a WMF its physical size at 96 dpi. The thumbnail and fit arithmetic
//    of the editor and the preview works on this size.
//  - naturalSizeMm: the size the picture has on paper. For BMP/JPEG the
//    resolution stored in the file (BMP pels per metre, JFIF density); 96 dpi
//    when the file states none. For a WMF the placeable header's bounding box
//    and units per inch. Printing draws pictures at this size.
//
// The callers do their own rectangle arithmetic: they ask pictureSize() (or
// pictureInfo()) for the natural size, compute the target rectangle, and
// fetch an image of exactly that size with loadPictureScaled(), which
// decodes large JPEGs at reduced size (libjpeg DCT scaling) instead of
// decoding them in full and shrinking afterwards.
//
// None of these functions throws or crashes on damaged input: a file that
// cannot be read gives a null result and a message in `error`.
//
// Choices made here, as a user would want them:
//  - pictures are shown as stored: an EXIF rotation is not applied, as the
//    picture boxes of Windows do not apply it;
//  - a metafile's transparent parts stay transparent (the box shows through);
//  - what libwmf and Qt's SVG renderer cannot do is approximated: hatched
//    brushes become a light wash of their colour; enhanced metafiles (EMF)
//    and metafiles larger than 16 MB are refused with a message.

#include "pictures/PictureLimits.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPainter;

// What a picture file's header says, read without decoding the picture.
struct PictureInfo {
    QString format;          // "bmp", "jpeg", "wmf", "png", ... ("" when unknown)
    QSize naturalPixels;     // see above; invalid when the file is unreadable
    QSizeF naturalSizeMm;    // see above
    QString error;           // why the file cannot be read, "" when it can

    bool isValid() const { return naturalPixels.isValid() && !naturalPixels.isEmpty(); }
};

// A picture loaded at its natural pixel size.
struct LoadedPicture {
    QImage image;            // naturalPixels in size; null on failure
    QSize naturalPixels;
    QSizeF naturalSizeMm;
    QString error;           // "" on success

    bool isNull() const { return image.isNull(); }
};

// The size from the file's header, without decoding the picture: cheap even
// for a 24-megapixel JPEG. The file is also checked without decoding it (a
// JPEG must reach its end marker, a BMP must hold all its rows, a metafile's
// records must all be readable), so that a damaged picture is refused here,
// where the windows show their "cannot load" message.
PictureInfo pictureInfo(const QString &path);

// pictureInfo(path).naturalPixels: an invalid QSize when the file is unreadable.
QSize pictureSize(const QString &path);

// The whole picture at its natural pixel size.
LoadedPicture loadPicture(const QString &path);

// The whole picture drawn into an image of exactly `size` (proportions are the
// caller's business), decoded at reduced size where the format allows and
// shrunk smoothly. A null image on failure, with the reason in *error if given.
// A metafile is drawn directly at `size`, so it stays sharp at any size.
QImage loadPictureScaled(const QString &path, const QSize &size, QString *error = nullptr);

// Draws the whole picture into `target` of any painter (a printer, a PDF):
// a metafile as vectors, so it stays sharp at the printer's resolution; a
// bitmap or JPEG from its full-size pixels. False with the reason in *error
// when the file cannot be read (nothing is drawn then).
bool drawPicture(QPainter &painter, const QRectF &target, const QString &path, QString *error = nullptr);
