#pragma once
// Windows metafiles (WMF): their size, and the picture drawn into an image
// or onto any painter. libwmf turns the metafile into SVG (WmfSvg.h), which
// Qt's SVG renderer draws at any size; the headers are read by WmfHeader.h.
//
// A metafile's frame is the bounding box of its placeable header: that
// rectangle is what the picture shows, with the header's units per inch
// giving its size on paper. A metafile without that header is framed by the
// window (origin and extent) it sets up, taken as twips (1440 units per
// inch); failing that, by the extent of what it draws.
//
// Damaged or hostile metafiles give an error, never a crash: the input size,
// the picture size, libwmf's memory, the number of records and the SVG size
// are all bounded.

#include "pictures/WmfHeader.h"
#include "pictures/WmfSvg.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPainter;

namespace Wmf {

struct Info {
    QSize pixels;        // natural size at 96 dpi
    QSizeF mm;           // size on paper
    bool placeable = false;
    QString error;
    bool ok() const { return error.isEmpty() && !pixels.isEmpty(); }
};

// The natural size, from the placeable header when there is one. libwmf
// reads the records once without drawing, so that damaged metafiles are
// refused here already.
Info readInfo(const QByteArray &data);

// The metafile drawn into a transparent image of exactly `size`.
QImage render(const QByteArray &data, const QSize &size, QString *error);

// The metafile drawn as vectors into `target` of a painter.
bool draw(const QByteArray &data, QPainter &painter, const QRectF &target, QString *error);

} // namespace Wmf
