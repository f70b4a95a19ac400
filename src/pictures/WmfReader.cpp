#include "pictures/WmfReader.h"
#include "pictures/PictureLimits.h"

#include <QPainter>

#include <cmath>

namespace Wmf {
namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kScreenDpi = 96.0;
const QString kCannotDraw = QStringLiteral("the metafile cannot be drawn");
} // namespace

Info readInfo(const QByteArray &data)
{
    Info info;
    if (data.size() > kMaxFileBytes) {
        info.error = QStringLiteral("the metafile is too large");
        return info;
    }
    const Placeable p = readPlaceable(data);
    info.placeable = p.present;
    if (!standardHeaderAt(data, p.present ? kPlaceableBytes : 0)) {
        info.error = p.present ? QStringLiteral("the metafile is damaged") : QStringLiteral("not a metafile");
        return info;
    }
    if (p.present && (p.right == p.left || p.bottom == p.top || p.inch == 0)) {
        info.error = QStringLiteral("the metafile has no size");
        return info;
    }
    // libwmf reads every record once (drawing nothing): a metafile that is
    // cut short or has broken records is refused here already.
    QSizeF extent;
    if (!scan(data, &extent, &info.error))
        return info;

    double inchW = 0, inchH = 0;
    if (p.present) {
        inchW = std::abs(int(p.right) - int(p.left)) / double(p.inch);
        inchH = std::abs(int(p.bottom) - int(p.top)) / double(p.inch);
    } else if (const Window window = windowFromRecords(data, 0); window.present) {
        inchW = std::abs(window.width) / kPlainUnitsPerInch;
        inchH = std::abs(window.height) / kPlainUnitsPerInch;
    } else {
        inchW = extent.width() / kPlainUnitsPerInch;
        inchH = extent.height() / kPlainUnitsPerInch;
    }
    if (!std::isfinite(inchW) || !std::isfinite(inchH) || inchW <= 0 || inchH <= 0) {
        info.error = QStringLiteral("the metafile has no size");
        return info;
    }
    const double pixelsW = inchW * kScreenDpi, pixelsH = inchH * kScreenDpi;
    if (pixelsW > kMaxPictureSide || pixelsH > kMaxPictureSide) {
        info.error = QStringLiteral("the metafile is too large");
        return info;
    }
    info.mm = QSizeF(inchW * kMmPerInch, inchH * kMmPerInch);
    info.pixels = QSize(qMax(1, int(std::lround(pixelsW))), qMax(1, int(std::lround(pixelsH))));
    return info;
}

bool draw(const QByteArray &data, QPainter &painter, const QRectF &target, QString *error)
{
    QString dummy;
    QString &err = error ? *error : dummy;
    // The SVG's own coordinates only set the precision of its numbers: a
    // frame of about 4000 units keeps them well under a printer dot.
    const double longest = qMax(target.width(), target.height());
    if (!(longest > 0) || !std::isfinite(longest)) {
        err = QStringLiteral("the requested picture size is not possible");
        return false;
    }
    const double scale = 4096.0 / longest;
    const QSize units(qBound(1, int(std::lround(target.width() * scale)), kMaxPictureSide),
                      qBound(1, int(std::lround(target.height() * scale)), kMaxPictureSide));
    // One pixel of the painter's device, in SVG units: the thinnest pen.
    const QTransform &t = painter.combinedTransform();
    const double devicePerUnit = std::sqrt(std::fabs(t.determinant()));
    const double devicePixel = devicePerUnit > 0 ? (units.width() / target.width()) / devicePerUnit : 1.0;
    const QByteArray svgText = toSvg(data, units, &err, devicePixel);
    if (svgText.isEmpty()) {
        if (err.isEmpty())
            err = kCannotDraw;
        return false;
    }
    painter.save();
    // What the metafile draws outside its frame is not part of the picture.
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool drawn = drawSvg(svgText, painter, target);
    painter.restore();
    if (!drawn) {
        err = kCannotDraw;
        return false;
    }
    err.clear();
    return true;
}

QImage render(const QByteArray &data, const QSize &size, QString *error)
{
    QString dummy;
    QString &err = error ? *error : dummy;
    if (size.isEmpty() || qint64(size.width()) * size.height() > kMaxRenderPixels) {
        err = QStringLiteral("the picture is too large to draw");
        return {};
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        err = QStringLiteral("the picture is too large to draw");
        return {};
    }
    image.fill(Qt::transparent);
    // At pixel sizes the SVG is made at exactly that size: its coordinates
    // are then the image's pixels.
    const QByteArray svgText = toSvg(data, size, &err);
    if (svgText.isEmpty()) {
        if (err.isEmpty())
            err = kCannotDraw;
        return {};
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool drawn = drawSvg(svgText, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    if (!drawn) {
        err = kCannotDraw;
        return {};
    }
    err.clear();
    return image;
}

} // namespace Wmf
