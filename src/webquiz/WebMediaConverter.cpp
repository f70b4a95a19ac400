#include "webquiz/WebMediaConverter.h"

#include "media/MidiSource.h"
#include "platform/ModuleLoader.h"
#include "platform/RegularFile.h"
#include "document/FileKind.h"
#include "document/MediaAdmission.h"
#include "pictures/PictureConversion.h"
#include "pictures/PictureLoader.h"
#include "pictures/WmfHeader.h"
#include "pictures/WmfReader.h"
#include "pictures/WmfSvg.h"

#include <QBuffer>
#include <QImageReader>

namespace {
ConvertedMedia failed(ConvertedMedia::Kind kind, const QString &why)
{
    ConvertedMedia m;
    m.kind = kind;
    m.error = why;
    return m;
}

// A picture for the page: PNG for drawings, JPEG (a good quality) for
// photographs.
WebMedia compressedPicture(const QImage &image)
{
    const bool png = PictureConversion::isDrawingLike(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, png ? "PNG" : "JPEG", png ? -1 : 85);
    return {bytes, png ? QStringLiteral("image/png") : QStringLiteral("image/jpeg"),
            png ? QStringLiteral("PNG") : QStringLiteral("JPEG")};
}

// The picture's own bytes for a BMP or JPEG: browsers show both.
QString pictureMime(const QByteArray &head)
{
    if (head.startsWith("BM"))
        return QStringLiteral("image/bmp");
    if (head.startsWith("\xFF\xD8"))
        return QStringLiteral("image/jpeg");
    return QString();
}

// Browsers show an SVG picture only when its root names the SVG namespace,
// which libwmf leaves out (Qt's renderer does not need it); pictures inside
// it use xlink.
QByteArray forBrowsers(QByteArray svg)
{
    const qsizetype root = svg.indexOf("<svg");
    if (root < 0)
        return svg;
    const qsizetype end = svg.indexOf('>', root);
    const QByteArray tag = svg.mid(root, end - root);
    QByteArray add;
    if (!tag.contains("xmlns=\""))
        add += " xmlns=\"http://www.w3.org/2000/svg\"";
    if (!tag.contains("xmlns:xlink="))
        add += " xmlns:xlink=\"http://www.w3.org/1999/xlink\"";
    svg.insert(root + 4, add);
    return svg;
}
}

WebCodec *WebMediaConverter::codec(QString *error)
{
    if (!m_codecTried) {
        m_codecTried = true;
        m_codec = ModuleLoader::create<WebCodec>(QStringLiteral(ARDENO_WEBCODEC_MODULE), ARDENO_WEBCODEC_FACTORY,
                                                 kWebCodecInterfaceVersion, &m_codecError);
    }
    if (!m_codec && error)
        *error = QStringLiteral("the codec module could not be loaded (%1)").arg(m_codecError);
    return m_codec.get();
}

ConvertedMedia WebMediaConverter::convert(const QString &path)
{
    using Kind = ConvertedMedia::Kind;
    const MediaKind kind = mediaKindOf(path);
    const Kind target = kind == MediaKind::Picture ? Kind::Picture
                        : kind == MediaKind::Wave  ? Kind::Sound
                        : kind == MediaKind::Midi || kind == MediaKind::Mp3 ? Kind::Tune
                                                                             : Kind::Video;
    if (kind == MediaKind::None)
        return failed(target, QStringLiteral("not a picture, sound, tune or video"));
    // Only what may travel with a test goes into a page; a pipe or a device
    // would never end. The decoders are given the admitted file itself
    // (its handle's name), never the path again.
    QString problem;
    const OpenFilePtr file = MediaAdmission::admit(path, &problem);
    if (!file)
        return failed(target, problem);
    if (file->size() > kMaxInputBytes)
        return failed(target, RegularFile::tooLarge(kMaxInputBytes));
    const QString readable = file->handlePath();

    ConvertedMedia out;
    out.kind = target;
    out.privateSource = file->isPrivate();
    if (kind == MediaKind::Avi || kind == MediaKind::Mpeg) {
        QString why;
        WebCodec *c = codec(&why);
        if (!c || !c->transcodeVideo(readable, &out.media, &why))
            return failed(target, why);
        out.converted = true;
        return out;
    }
    if (kind == MediaKind::Midi) {
        QString why;
        auto source = MidiSource::open(readable, &why);
        if (!source)
            return failed(target, why);
        QByteArray pcm;
        const qint64 limit = qint64(kMaxTuneSeconds) * source->sampleRate() * 4;
        QByteArray block(64 * 1024, Qt::Uninitialized);
        while (pcm.size() < limit) {
            const qint64 n = source->read(block.data(), block.size());
            if (n <= 0)
                break;
            pcm.append(block.constData(), n);
        }
        WebCodec *c = codec(&why);
        if (!c || !c->encodeAudio(pcm, source->sampleRate(), source->channels(), &out.media, &why))
            return failed(target, why);
        out.media.description = QStringLiteral("synthesised, %1").arg(out.media.description);
        out.converted = true;
        return out;
    }

    QString why;
    switch (kind) {
    case MediaKind::Wave:
        out.media = {QByteArray(), QStringLiteral("audio/wav"), QStringLiteral("as it is")};
        out.asItIs = file;
        return out;
    case MediaKind::Mp3:
        out.media = {QByteArray(), QStringLiteral("audio/mpeg"), QStringLiteral("as it is")};
        out.asItIs = file;
        return out;
    default:
        break;
    }
    // Pictures: a metafile is drawn, and read whole for that (at most 16 MB);
    // a BMP or JPEG goes in as it is.
    const QByteArray head = file->read(0, 64);
    if (Wmf::looksLikeWmf(head)) {
        const QByteArray bytes = file->readAll(Wmf::kMaxFileBytes, &why);
        if (!why.isEmpty())
            return failed(target, why);
        const Wmf::Info info = Wmf::readInfo(bytes);
        if (!info.ok())
            return failed(target, info.error.isEmpty() ? QStringLiteral("damaged metafile") : info.error);
        const QByteArray svg = Wmf::toSvg(bytes, info.pixels, &why);
        if (svg.isEmpty())
            return failed(target, why);
        out.media = {forBrowsers(svg), QStringLiteral("image/svg+xml"), QStringLiteral("metafile drawn as SVG")};
        out.pictureSize = info.pixels;
        out.converted = true;
        return out;
    }
    const QString mime = pictureMime(head);
    // The pixel budget holds here as everywhere: a page a phone must decode
    // gets no picture the editor would refuse.
    const PictureInfo info = pictureInfo(readable);
    if (!info.error.isEmpty())
        return failed(target, info.error);
    const QSize size = info.naturalPixels;
    if (mime.isEmpty() || !size.isValid() || size.isEmpty())
        return failed(target, QStringLiteral("not a BMP, JPEG or metafile picture"));
    out.pictureSize = size;
    const QSize stored = size.boundedTo(QSize(kLargestShownPixels, kLargestShownPixels)) == size
                             ? size
                             : size.scaled(kLargestShownPixels, kLargestShownPixels, Qt::KeepAspectRatio);
    // A JPEG the page can show at its size goes in as it is; any other
    // picture is stored small and compressed: the page must stay light.
    if (mime == QLatin1String("image/jpeg") && stored == size) {
        out.media = {QByteArray(), mime, QStringLiteral("as it is")};
        out.asItIs = file;
        return out;
    }
    const QImage image = loadPictureScaled(readable, stored, &why);
    if (image.isNull())
        return failed(target, why.isEmpty() ? QStringLiteral("the picture cannot be read") : why);
    out.media = compressedPicture(image);
    out.converted = true;
    if (stored != size) {
        out.scaledPixels = stored;
        out.sourceBytes = file->size();
    }
    return out;
}

qint64 ConvertedMedia::size() const { return asItIs ? asItIs->size() : media.bytes.size(); }
