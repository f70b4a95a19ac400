#include "PictureLoader.h"

PictureInfo pictureInfo(const QString &path)
{
    PictureInfo info;
    info.error = QStringLiteral("Not implemented yet: %1").arg(path);
    return info;
}

QSize pictureSize(const QString &path)
{
    return pictureInfo(path).naturalPixels;
}

LoadedPicture loadPicture(const QString &path)
{
    LoadedPicture p;
    p.error = QStringLiteral("Not implemented yet: %1").arg(path);
    return p;
}

QImage loadPictureScaled(const QString &path, const QSize &size, QString *error)
{
    Q_UNUSED(size);
    if (error)
        *error = QStringLiteral("Not implemented yet: %1").arg(path);
    return {};
}
