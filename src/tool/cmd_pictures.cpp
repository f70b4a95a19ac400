// ardeno-tool commands of the picture layer:
//   pictureinfo FILE              format, natural size in pixels and on paper,
//                                 as one JSON object (what the windows measure)
//   thumbnail FILE WIDTHxHEIGHT OUT.png
//                                 the picture drawn at exactly that size, the
//                                 way the media panel and the preview fetch it
// A file that cannot be shown gives its reason on stderr and exit status 1.

#include "tool/ToolCommand.h"

#include "pictures/PictureLoader.h"

#include <QRegularExpression>

#include <cstdio>

namespace {

int fail(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return 1;
}

int pictureinfo(const QStringList &args)
{
    if (args.size() != 1)
        return toolUsageError();
    const PictureInfo info = pictureInfo(args.first());
    if (!info.isValid())
        return fail(info.error);
    std::printf("{\"format\": \"%s\", \"width\": %d, \"height\": %d, \"widthMm\": %.2f, "
                "\"heightMm\": %.2f}\n",
                qPrintable(info.format), info.naturalPixels.width(), info.naturalPixels.height(),
                info.naturalSizeMm.width(), info.naturalSizeMm.height());
    return 0;
}

int thumbnail(const QStringList &args)
{
    if (args.size() != 3)
        return toolUsageError();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(args.at(1));
    if (!m.hasMatch())
        return toolUsageError();
    const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
    QString error;
    const QImage image = loadPictureScaled(args.at(0), size, &error);
    if (image.isNull())
        return fail(error);
    if (!image.save(args.at(2), "PNG"))
        return fail(QStringLiteral("%1: cannot be written").arg(args.at(2)));
    return 0;
}

const ToolCommandRegistration registerPictureInfo(
    {"pictureinfo", "pictureinfo FILE", pictureinfo});
const ToolCommandRegistration registerThumbnail(
    {"thumbnail", "thumbnail FILE WIDTHxHEIGHT OUT.png", thumbnail});

} // namespace
