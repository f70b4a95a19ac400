#pragma once
// The boundary between the pictures and libwmf with Qt SVG, in a module of
// their own (libardeno_wmf.so) loaded with the first Windows metafile a
// teacher opens, so that the editor's start loads neither. The module
// exports one extern "C" function, ardeno_create_wmf_converter(version),
// returning a new converter or nullptr when it was built for another version
// of this interface. WmfSvg.h says what each call does.

#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPainter;

class WmfConverter {
public:
    virtual ~WmfConverter() = default;
    virtual bool scan(const QByteArray &data, QSizeF *extent, QString *error) = 0;
    virtual QByteArray toSvg(const QByteArray &data, const QSize &size, QString *error, double devicePixel) = 0;
    // SVG text drawn into `target` of the painter; false when it is no SVG.
    virtual bool drawSvg(const QByteArray &svg, QPainter &painter, const QRectF &target) = 0;
};

constexpr int kWmfConverterInterfaceVersion = 1;
#define ARDENO_WMF_MODULE "ardeno_wmf"
#define ARDENO_WMF_FACTORY "ardeno_create_wmf_converter"
