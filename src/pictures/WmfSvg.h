#pragma once
// A Windows metafile turned into SVG by libwmf (its SVG device), with hooks
// that place the metafile's frame, write exact colours and escape text, and
// SVG drawn by Qt SVG. Both live in a module loaded with the first metafile
// (WmfConverter.h); when it cannot be had, each call fails with the reason.
// libwmf's own headers stay inside the module: they #define U8, U16, ...
// which clash with Qt's headers.

#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPainter;

namespace Wmf {

// libwmf reads every record once, drawing nothing: false with the reason in
// *error when the metafile is cut short or has broken records. *extent gets
// the extent of what it draws in metafile units (empty when libwmf cannot
// tell).
bool scan(const QByteArray &data, QSizeF *extent, QString *error);

// The metafile's frame drawn into an SVG document of `size` units. No pen is
// thinner than `devicePixel` units (one pixel of the device drawn on).
QByteArray toSvg(const QByteArray &data, const QSize &size, QString *error, double devicePixel = 1.0);

// SVG text (as toSvg makes it) drawn into `target` of the painter; false
// when it cannot be drawn.
bool drawSvg(const QByteArray &svg, QPainter &painter, const QRectF &target);

} // namespace Wmf
