#include "document/FileKind.h"

#include "document/MediaLookup.h"

QString fileKindOf(const QString &path)
{
    const QString name = MediaLookup::nameOf(path);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.mid(dot + 1);
}

bool hasFileKind(const QString &path, const QString &kind)
{
    return fileKindOf(path).compare(kind, Qt::CaseInsensitive) == 0;
}

QString numberedName(const QString &name, int n)
{
    if (n <= 1)
        return name;
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? QStringLiteral("%1-%2").arg(name).arg(n)
                   : QStringLiteral("%1-%2%3").arg(name.left(dot)).arg(n).arg(name.mid(dot));
}

QString exchangeSuffixOf(const QString &path)
{
    const QString name = MediaLookup::nameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

MediaKind mediaKindOf(const QString &path)
{
    const QString ext = fileKindOf(path).toLower();
    if (ext == QLatin1String("bmp") || ext == QLatin1String("jpg") || ext == QLatin1String("jpeg")
        || ext == QLatin1String("wmf"))
        return MediaKind::Picture;
    if (ext == QLatin1String("wav"))
        return MediaKind::Wave;
    if (ext == QLatin1String("avi"))
        return MediaKind::Avi;
    if (ext == QLatin1String("mpg") || ext == QLatin1String("mpeg"))
        return MediaKind::Mpeg;
    if (ext == QLatin1String("mid") || ext == QLatin1String("midi"))
        return MediaKind::Midi;
    if (ext == QLatin1String("mp3"))
        return MediaKind::Mp3;
    return MediaKind::None;
}

QString mediaKindName(MediaKind kind)
{
    switch (kind) {
    case MediaKind::Picture: return QStringLiteral("picture");
    case MediaKind::Wave: return QStringLiteral("wave");
    case MediaKind::Avi: return QStringLiteral("avi");
    case MediaKind::Mpeg: return QStringLiteral("mpeg");
    case MediaKind::Midi: return QStringLiteral("midi");
    case MediaKind::Mp3: return QStringLiteral("mp3");
    case MediaKind::None: break;
    }
    return QStringLiteral("none");
}
