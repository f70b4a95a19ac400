#include "pictures/WmfSvg.h"
#include "pictures/WmfConverter.h"

#include "platform/ModuleLoader.h"

namespace Wmf {
namespace {
// Loaded with the first metafile and kept for the program's life.
WmfConverter *converter(QString *error)
{
    QString why;
    WmfConverter *c = ModuleLoader::shared<WmfConverter>(QStringLiteral(ARDENO_WMF_MODULE), ARDENO_WMF_FACTORY,
                                                         kWmfConverterInterfaceVersion, &why);
    if (!c && error)
        *error = QStringLiteral("metafiles cannot be read here (%1)").arg(why);
    return c;
}
}

bool scan(const QByteArray &data, QSizeF *extent, QString *error)
{
    WmfConverter *c = converter(error);
    return c && c->scan(data, extent, error);
}

QByteArray toSvg(const QByteArray &data, const QSize &size, QString *error, double devicePixel)
{
    WmfConverter *c = converter(error);
    return c ? c->toSvg(data, size, error, devicePixel) : QByteArray();
}

bool drawSvg(const QByteArray &svg, QPainter &painter, const QRectF &target)
{
    WmfConverter *c = converter(nullptr);
    return c && c->drawSvg(svg, painter, target);
}
}
