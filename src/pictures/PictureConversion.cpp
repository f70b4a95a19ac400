#include "pictures/PictureConversion.h"

#include "pictures/PictureLimits.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSet>

namespace PictureConversion {

bool isDrawingLike(const QImage &image)
{
    if (image.hasAlphaChannel())
        return true;
    constexpr int kFewColours = 256;
    QSet<QRgb> colours;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            colours.insert(line[x]);
            if (colours.size() > kFewColours)
                return false;
        }
    }
    return true;
}

bool isForeignPictureName(const QString &name)
{
    const QString suffix = name.section(QLatin1Char('.'), -1).toLower();
    return name.contains(QLatin1Char('.'))
           && (suffix == QLatin1String("png") || suffix == QLatin1String("gif") || suffix == QLatin1String("webp"));
}

bool looksForeign(const QByteArray &head)
{
    return head.startsWith("\x89PNG\r\n\x1A\n") || head.startsWith("GIF87a") || head.startsWith("GIF89a")
           || (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP");
}

Converted toTestPicture(const QByteArray &data)
{
    Converted out;
    if (!looksForeign(data)) {
        out.error = QStringLiteral("not a PNG, GIF or WebP picture");
        return out;
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide
        || qint64(size.width()) * size.height() > kPictureBudgetPixels) {
        out.error = size.isValid() ? QStringLiteral("%1 \u00D7 %2 pixels is more than a picture may have")
                                         .arg(size.width()).arg(size.height())
                                   : QStringLiteral("the picture cannot be read (%1)").arg(reader.errorString());
        return out;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        out.error = QStringLiteral("the picture cannot be read (%1)").arg(reader.errorString());
        return out;
    }
    const bool drawing = isDrawingLike(image);
    if (image.hasAlphaChannel()) {
        // A test's pictures have no transparency: laid on white.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, image);
        image = flat;
    }
    QBuffer encoded(&out.bytes);
    encoded.open(QIODevice::WriteOnly);
    out.suffix = drawing ? QStringLiteral("bmp") : QStringLiteral("jpg");
    if (!image.convertToFormat(QImage::Format_RGB888).save(&encoded, drawing ? "BMP" : "JPEG", drawing ? -1 : 90))
        out.error = QStringLiteral("the picture cannot be written as %1").arg(out.suffix.toUpper());
    return out;
}

}
