#include "pictures/PictureLoader.h"

#include "pictures/BitmapInfoHeader.h"
#include "pictures/PictureLimits.h"
#include "pictures/WmfReader.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kScreenDpi = 96.0;
constexpr qint64 kMaxPixels = kPictureBudgetPixels;

QString message(const QString &path, const QString &why)
{
    return QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), why);
}

// Why a file cannot be opened, for the message: a missing file, a pipe or
// device (never opened: it would block or never end), or the system's reason.
QString openFailure(const QString &path, const QString &reason)
{
    if (!QFileInfo::exists(path))
        return message(path, QStringLiteral("the file does not exist"));
    if (!RegularFile::problem(path).isEmpty() && QFileInfo(path).isReadable())
        return message(path, reason);   // a pipe, a device, a folder
    return message(path, QStringLiteral("the file cannot be opened (%1)").arg(reason));
}

QByteArray readHead(const QString &path, qint64 bytes, QString *error)
{
    QFile file;
    QString why;
    if (!RegularFile::open(file, path, &why)) {
        *error = openFailure(path, why);
        return {};
    }
    return file.read(bytes);
}

QByteArray readWhole(const QString &path, QString *error)
{
    QString why;
    QByteArray data = RegularFile::read(path, Wmf::kMaxFileBytes, &why);
    if (!why.isEmpty())
        *error = QFileInfo(path).size() > Wmf::kMaxFileBytes
                     ? message(path, QStringLiteral("the metafile is too large"))
                     : openFailure(path, why);
    return data;
}

// Qt's image readers open the file through our regular-file check: a
// picture name that is a pipe or a device must not block the window.
bool openForReader(QFile &file, QImageReader &reader, const QString &path, QString *error)
{
    QString why;
    if (!RegularFile::open(file, path, &why)) {
        *error = openFailure(path, why);
        return false;
    }
    reader.setDevice(&file);
    return true;
}

double dpiFromPelsPerMetre(qint32 ppm) { return ppm > 0 ? ppm * kMmPerInch / 1000.0 : 0.0; }

// The resolution a BMP or JPEG states for itself, 0 when it states none.
// BMP: biXPelsPerMeter/biYPelsPerMeter. JPEG: the JFIF density (units 1 =
// dots per inch, 2 = dots per cm; units 0 is an aspect ratio only).
QSizeF statedDpi(const QByteArray &head)
{
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    const int n = int(head.size());
    if (head.startsWith("BM")) {
        const std::optional<BitmapInfoHeader> h = BitmapInfoHeader::ofFile(head);
        if (h && !h->isCore()) {
            const double x = dpiFromPelsPerMetre(h->xPelsPerMeter);
            const double y = dpiFromPelsPerMetre(h->yPelsPerMeter);
            if (x > 0 && y > 0)
                return {x, y};
        }
        return {};
    }
    if (n >= 4 && b[0] == 0xFF && b[1] == 0xD8) {
        int at = 2;
        while (at + 4 <= n && b[at] == 0xFF) {
            const uchar marker = b[at + 1];
            const int length = qFromBigEndian<quint16>(b + at + 2);
            if (marker == 0xDA || length < 2)
                break;   // image data begins: no JFIF segment before it
            if (marker == 0xE0 && length >= 16 && at + 4 + 12 <= n
                && std::memcmp(b + at + 4, "JFIF\0", 5) == 0) {
                const uchar units = b[at + 11];
                const double x = qFromBigEndian<quint16>(b + at + 12);
                const double y = qFromBigEndian<quint16>(b + at + 14);
                if (x <= 0 || y <= 0)
                    return {};
                if (units == 1)
                    return {x, y};
                if (units == 2)
                    return {x * 2.54, y * 2.54};
                return {};
            }
            at += 2 + length;
        }
    }
    return {};
}

// A JPEG cut short still decodes (libjpeg fills the rest with grey and only
// warns), so it is checked here: walk the markers to the end-of-image marker.
bool jpegIsComplete(const QString &path)
{
    QFile file;
    if (!RegularFile::open(file, path, nullptr))
        return false;
    const qint64 size = file.size();
    const uchar *b = file.map(0, size);
    QByteArray copy;
    if (!b) {
        copy = file.readAll();
        b = reinterpret_cast<const uchar *>(copy.constData());
    }
    qint64 at = 2;
    while (at + 4 <= size) {
        if (b[at] != 0xFF) {
            // Stray bytes between segments: libjpeg skips them, and so do we.
            const void *ff = std::memchr(b + at, 0xFF, size_t(size - at));
            if (!ff)
                return false;
            at = static_cast<const uchar *>(ff) - b;
            continue;
        }
        const uchar marker = b[at + 1];
        if (marker == 0xFF) {   // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const qint64 length = qFromBigEndian<quint16>(b + at + 2);
        if (length < 2)
            return false;
        at += 2 + length;
        if (marker != 0xDA)
            continue;
        // Entropy-coded data: runs to the next marker that is not a stuffed
        // zero or a restart marker.
        while (at < size) {
            const void *ff = std::memchr(b + at, 0xFF, size_t(size - at));
            if (!ff)
                return false;
            at = static_cast<const uchar *>(ff) - b;
            if (at + 1 >= size)
                return false;
            const uchar next = b[at + 1];
            if (next == 0x00 || next == 0xFF || (next >= 0xD0 && next <= 0xD7)) {
                at += (next == 0xFF) ? 1 : 2;
                continue;
            }
            break;
        }
    }
    return at + 2 <= size && b[at] == 0xFF && b[at + 1] == 0xD9;
}

// Qt decodes a BMP cut short without complaint (the missing rows stay
// blank), so an uncompressed one is checked against its file size.
bool bmpIsComplete(const QString &path, const QByteArray &head)
{
    if (head.size() < 54)
        return false;
    quint32 offBits = 0;
    const std::optional<BitmapInfoHeader> h = BitmapInfoHeader::ofFile(head, &offBits);
    if (!h || h->isCore())
        return true;   // old OS/2 header: left to Qt
    if (h->compression != 0 && h->compression != 3)
        return true;   // run-length coded: Qt checks as it decodes
    return QFileInfo(path).size() >= qint64(offBits) + h->rowBytes() * qAbs(qint64(h->height));
}

// Why a picture that Qt would decode without complaint is damaged; "" when
// it is whole as far as can be told without decoding.
QString damaged(const QString &path, const QByteArray &format, const QByteArray &head)
{
    if ((format == "jpeg" && !jpegIsComplete(path)) || (format == "bmp" && !bmpIsComplete(path, head)))
        return message(path, QStringLiteral("the picture is damaged or incomplete"));
    return {};
}

// The format a picture's first bytes name, for the kinds a test's pictures
// are in and the ones a misnamed file most often is; empty for any other.
QByteArray formatByContent(const QByteArray &head)
{
    static const struct {
        const char *signature;
        int length;
        const char *format;
    } kinds[] = {
        {"BM", 2, "bmp"}, {"\xFF\xD8\xFF", 3, "jpeg"}, {"\x89PNG\r\n\x1A\n", 8, "png"}, {"GIF8", 4, "gif"},
    };
    for (const auto &k : kinds)
        if (head.startsWith(QByteArray::fromRawData(k.signature, k.length)))
            return k.format;
    return {};
}

void configure(QImageReader &reader, const QByteArray &head)
{
    // Qt's own limit (128 MB) would refuse pictures inside our budget; the
    // budget is checked from the header before anything is decoded.
    reader.setAllocationLimit(int(kMaxPixels * 4 / (1024 * 1024)) + 1);
    // Decide by content: a picture with the wrong extension still loads.
    // A kind known by its first bytes goes straight to its own reader;
    // only another kind has Qt ask every reader it has (TIFF, WebP, ...),
    // loading them all, which would cost the editor's start.
    const QByteArray format = formatByContent(head);
    if (!format.isEmpty())
        reader.setFormat(format);
    else
        reader.setDecideFormatFromContent(true);
    // Shown as stored, like the picture boxes of Windows (no EXIF rotation),
    // so that the decoded size is the size pictureInfo() reports.
    reader.setAutoTransform(false);
}

// The size a BMP's header claims, read here because Qt's reader refuses a
// claim it finds absurd without saying what it was. Invalid when not a BMP.
QSize bmpClaimedSize(const QByteArray &head)
{
    const std::optional<BitmapInfoHeader> h = BitmapInfoHeader::ofFile(head);
    if (!h)
        return {};
    if (h->isCore())   // OS/2 header: 16-bit sizes
        return QSize(h->width, h->height);
    if (h->width <= 0 || h->height == 0 || h->height == INT_MIN)
        return {};
    return QSize(h->width, h->height < 0 ? -h->height : h->height);
}

// Qt reports a top-down BMP's height as stored: negative.
QSize headerSize(QImageReader &reader)
{
    if (!reader.canRead())
        return {};
    const QSize size = reader.size();
    if (reader.format() == "bmp" && size.height() < 0 && size.height() > INT_MIN)
        return QSize(size.width(), -size.height());
    return size;
}

// The budget is decided from the header, before a byte is decoded: a
// picture claiming more pixels costs no more than its header.
QString overBudget(const QString &path, const QSize &size)
{
    if (size.width() <= kMaxPictureSide && size.height() <= kMaxPictureSide
        && qint64(size.width()) * size.height() <= kMaxPixels)
        return {};
    return message(path, QStringLiteral("the picture is too large (%1 × %2 pixels; at most %3 "
                                        "megapixels can be shown)")
                             .arg(size.width()).arg(size.height())
                             .arg(kMaxPixels / (1024 * 1024)));
}

bool sizeAllowed(const QSize &size)
{
    return !size.isEmpty() && size.width() <= kMaxPictureSide && size.height() <= kMaxPictureSide
        && qint64(size.width()) * size.height() <= kMaxPixels;
}

QImage decodeScaled(const QString &path, const QSize &size, QString &err, bool checked);

} // namespace

PictureInfo pictureInfo(const QString &path)
{
    PictureInfo info;
    const QByteArray head = readHead(path, 4096, &info.error);
    if (!info.error.isEmpty())
        return info;
    if (head.isEmpty()) {
        info.error = message(path, QStringLiteral("the file is empty"));
        return info;
    }
    if (Wmf::looksLikeWmf(head)) {
        info.format = QStringLiteral("wmf");
        const QByteArray data = readWhole(path, &info.error);
        if (!info.error.isEmpty())
            return info;
        const Wmf::Info wmf = Wmf::readInfo(data);
        if (!wmf.ok()) {
            info.error = message(path, wmf.error);
            return info;
        }
        if (const QString over = overBudget(path, wmf.pixels); !over.isEmpty()) {
            info.error = over;
            return info;
        }
        info.naturalPixels = wmf.pixels;
        info.naturalSizeMm = wmf.mm;
        return info;
    }

    if (const QSize claimed = bmpClaimedSize(head); claimed.isValid()) {
        if (const QString over = overBudget(path, claimed); !over.isEmpty()) {
            info.format = QStringLiteral("bmp");
            info.error = over;
            return info;
        }
    }

    QFile file;
    QImageReader reader;
    if (!openForReader(file, reader, path, &info.error))
        return info;
    configure(reader, head);
    const QSize size = headerSize(reader);
    info.format = QString::fromLatin1(reader.format());
    if (!size.isValid() || size.isEmpty()) {
        info.error = message(path, QStringLiteral("not a picture this program can show"));
        return info;
    }
    if (const QString over = overBudget(path, size); !over.isEmpty()) {
        info.error = over;
        return info;
    }
    if (const QString damage = damaged(path, reader.format(), head); !damage.isEmpty()) {
        info.error = damage;
        return info;
    }
    info.naturalPixels = size;
    QSizeF dpi = statedDpi(head);
    if (dpi.isEmpty())
        dpi = QSizeF(kScreenDpi, kScreenDpi);
    info.naturalSizeMm = QSizeF(size.width() / dpi.width() * kMmPerInch,
                                size.height() / dpi.height() * kMmPerInch);
    return info;
}

QSize pictureSize(const QString &path)
{
    return pictureInfo(path).naturalPixels;
}

LoadedPicture loadPicture(const QString &path)
{
    LoadedPicture picture;
    const PictureInfo info = pictureInfo(path);
    if (!info.isValid()) {
        picture.error = info.error;
        return picture;
    }
    picture.naturalPixels = info.naturalPixels;
    picture.naturalSizeMm = info.naturalSizeMm;
    if (const QString over = overBudget(path, info.naturalPixels); !over.isEmpty()) {
        picture.error = over;
        return picture;
    }
    picture.image = decodeScaled(path, info.naturalPixels, picture.error, true);
    return picture;
}

namespace {

// `checked`: pictureInfo() has already looked the file over (loadPicture),
// so the integrity checks are not repeated.
QImage decodeScaled(const QString &path, const QSize &size, QString &err, bool checked)
{
    err.clear();
    if (!sizeAllowed(size)) {
        err = message(path, QStringLiteral("the requested picture size is not possible"));
        return {};
    }
    const QByteArray head = readHead(path, 64, &err);
    if (!err.isEmpty())
        return {};
    if (Wmf::looksLikeWmf(head)) {
        const QByteArray data = readWhole(path, &err);
        if (!err.isEmpty())
            return {};
        // Refused alike whatever size is asked: a metafile without a usable
        // frame is damaged.
        if (const Wmf::Info info = checked ? Wmf::Info() : Wmf::readInfo(data);
            !checked && !info.ok()) {
            err = message(path, info.error);
            return {};
        }
        QImage image = Wmf::render(data, size, &err);
        if (image.isNull())
            err = message(path, err);
        return image;
    }
    if (const QString over = overBudget(path, bmpClaimedSize(head)); !over.isEmpty()) {
        err = over;
        return {};
    }

    QFile file;
    QImageReader reader;
    if (!openForReader(file, reader, path, &err))
        return {};
    configure(reader, head);
    const QSize natural = headerSize(reader);
    if (natural.isEmpty()) {
        err = message(path, QStringLiteral("not a picture this program can show"));
        return {};
    }
    if (const QString over = overBudget(path, natural); !over.isEmpty()) {
        err = over;
        return {};
    }
    const bool jpeg = reader.format() == "jpeg";
    if (const QString damage = checked ? QString() : damaged(path, reader.format(), head);
        !damage.isEmpty()) {
        err = damage;
        return {};
    }
    if (jpeg && size != natural) {
        // libjpeg shrinks by 1/2, 1/4 or 1/8 while decoding (DCT scaling):
        // take the smallest of these still at least as large as the target,
        // and leave the last, smooth step to QImage::scaled.
        QSize decode = natural;
        for (int denom : {8, 4, 2}) {
            const QSize reduced((natural.width() + denom - 1) / denom,
                                (natural.height() + denom - 1) / denom);
            if (reduced.width() >= size.width() && reduced.height() >= size.height()) {
                decode = reduced;
                break;
            }
        }
        if (decode != natural)
            reader.setScaledSize(decode);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        err = message(path, reader.errorString());
        return {};
    }
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

QImage loadPictureScaled(const QString &path, const QSize &size, QString *error)
{
    QString dummy;
    return decodeScaled(path, size, error ? *error : dummy, false);
}

bool drawPicture(QPainter &painter, const QRectF &target, const QString &path, QString *error)
{
    QString dummy;
    QString &err = error ? *error : dummy;
    err.clear();
    const QByteArray head = readHead(path, 64, &err);
    if (!err.isEmpty())
        return false;
    if (Wmf::looksLikeWmf(head)) {
        const QByteArray data = readWhole(path, &err);
        if (!err.isEmpty())
            return false;
        if (const Wmf::Info info = Wmf::readInfo(data); !info.ok()) {
            err = message(path, info.error);
            return false;
        }
        if (!Wmf::draw(data, painter, target, &err)) {
            err = message(path, err);
            return false;
        }
        return true;
    }
    const LoadedPicture picture = loadPicture(path);
    if (picture.isNull()) {
        err = picture.error;
        return false;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture.image);
    painter.restore();
    return true;
}
