#include "document/MediaAdmission.h"

#include "document/MediaLookup.h"
#include "pictures/BitmapInfoHeader.h"
#include "pictures/WmfHeader.h"
#include "platform/CheckedFile.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace MediaAdmission {
namespace {

constexpr qint64 HeadBytes = 4096;
// Videos, MP3 and MIDI: far larger than any a test plays.
constexpr qint64 kMaxOtherBytes = qint64(1) << 30;

bool isRiff(const QByteArray &head, const char *form) { return head.startsWith("RIFF") && head.mid(8, 4) == form; }

// An MPEG audio frame header: 11 bits of sync, a version, a layer, a
// bit rate and a sample rate that exist.
bool mp3FrameAt(const QByteArray &head, qsizetype i)
{
    if (i + 4 > head.size())
        return false;
    const auto b1 = uchar(head[i + 1]), b2 = uchar(head[i + 2]);
    return uchar(head[i]) == 0xFF && (b1 & 0xE0) == 0xE0 && ((b1 >> 3) & 3) != 1 && ((b1 >> 1) & 3) != 0
           && (b2 >> 4) != 0xF && ((b2 >> 2) & 3) != 3;
}

// An ID3 tag's header: a known major version, a revision, and a size in
// four bytes of seven bits each.
bool isId3(const QByteArray &head)
{
    if (head.size() < 10 || !head.startsWith("ID3"))
        return false;
    const auto major = uchar(head[3]);
    if (major < 2 || major > 4 || uchar(head[4]) == 0xFF)
        return false;
    for (int i = 6; i < 10; ++i)
        if (uchar(head[i]) & 0x80)
            return false;
    return true;
}

// Some encoders put a few bytes of padding before the first frame.
bool isMp3(const QByteArray &head)
{
    if (isId3(head))
        return true;
    for (qsizetype i = 0; i + 4 <= head.size(); ++i)
        if (mp3FrameAt(head, i) && (i == 0 || head.left(i).count('\0') == i))
            return true;
    return false;
}

// A wave sound names its format chunk near its start (after, at most, a few
// small chunks such as JUNK or bext).
bool isWave(const QByteArray &head)
{
    return isRiff(head, "WAVE") && head.indexOf("fmt ", 12) >= 12;
}

// An AVI begins with its header list.
bool isAvi(const QByteArray &head)
{
    return isRiff(head, "AVI ") && head.mid(12, 4) == "LIST";
}

// A standard MIDI file's header chunk is six bytes long (at least), of
// format 0, 1 or 2, with at least one track.
bool isMidi(const QByteArray &head)
{
    if (isRiff(head, "RMID"))
        return true;
    if (head.size() < 14 || !head.startsWith("MThd"))
        return false;
    const auto be = [&head](int at, int bytes) {
        quint32 v = 0;
        for (int i = 0; i < bytes; ++i)
            v = v << 8 | uchar(head[at + i]);
        return v;
    };
    return be(4, 4) >= 6 && be(8, 2) <= 2 && be(10, 2) >= 1;
}

// A JPEG's start marker is followed by another marker.
bool isJpeg(const QByteArray &head)
{
    if (head.size() < 4 || !head.startsWith("\xFF\xD8\xFF"))
        return false;
    const auto m = uchar(head[3]);
    return (m >= 0xE0 && m <= 0xEF) || m == 0xDB || m == 0xC4 || m == 0xFE || (m >= 0xC0 && m <= 0xC3);
}

bool isMpegVideo(const QByteArray &head)
{
    return head.startsWith(QByteArray("\x00\x00\x01\xBA", 4)) || head.startsWith(QByteArray("\x00\x00\x01\xB3", 4));
}

bool isPicture(const QByteArray &head, qint64 fileSize)
{
    if (head.startsWith("BM"))
        return BitmapInfoHeader::isWholeFile(head, fileSize);
    return isJpeg(head) || Wmf::looksLikeWmf(head.left(64));
}

QString wrongContent(const char *what) { return QStringLiteral("not a media file: its content is not %1").arg(QLatin1String(what)); }

// The admission of an opened file: its kind by name, its size, its start.
bool sameStreams(QIODevice &a, QIODevice &b)
{
    if (a.size() != b.size())
        return false;
    QByteArray x(1 << 16, Qt::Uninitialized), y(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = a.read(x.data(), x.size());
        const qint64 m = b.read(y.data(), y.size());
        if (n != m || n < 0)
            return false;
        if (n == 0)
            return true;
        if (std::memcmp(x.constData(), y.constData(), size_t(n)) != 0)
            return false;
    }
}
} // namespace

qint64 maxBytes(MediaKind kind)
{
    // BMP and JPEG are limited by their pixels when they are read, a
    // metafile by its size when it is drawn.
    return kind == MediaKind::Wave ? kMaxWaveBytes : kMaxOtherBytes;
}

QString refusalOfContent(const QString &name, const QByteArray &head, qint64 fileSize)
{
    if (fileSize < 0)
        fileSize = head.size();
    switch (mediaKindOf(name)) {
    case MediaKind::None:
        return QStringLiteral("not a media file");
    case MediaKind::Picture:
        if (hasFileKind(name, QStringLiteral("wmf")) && !Wmf::looksLikeWmf(head.left(64)))
            return wrongContent("a metafile");
        return isPicture(head, fileSize) ? QString() : wrongContent("a picture");
    case MediaKind::Wave:
        return isWave(head) ? QString() : wrongContent("a wave sound");
    case MediaKind::Avi:
        return isAvi(head) ? QString() : wrongContent("an AVI video");
    case MediaKind::Mpeg:
        return isMpegVideo(head) ? QString() : wrongContent("an MPEG video");
    case MediaKind::Midi:
        return isMidi(head) ? QString() : wrongContent("a MIDI tune");
    case MediaKind::Mp3:
        return isMp3(head) ? QString() : wrongContent("an MP3 sound");
    }
    return QStringLiteral("not a media file");
}

QString refusalOf(const OpenFile &file, const QString &name)
{
    const MediaKind kind = mediaKindOf(name);
    if (kind == MediaKind::None)
        return QStringLiteral("not a media file");
    const qint64 limit = hasFileKind(name, QStringLiteral("wmf")) ? Wmf::kMaxFileBytes : maxBytes(kind);
    if (file.size() > limit)
        return RegularFile::tooLarge(limit);
    return refusalOfContent(name, file.read(0, HeadBytes), file.size());
}

OpenFilePtr admit(const QString &path, QString *reason, const QString &name)
{
    reason->clear();
    OpenFilePtr file = OpenFile::open(path, reason);
    if (!file)
        return nullptr;
    *reason = refusalOf(*file, name.isEmpty() ? MediaLookup::nameOf(path) : name);
    return reason->isEmpty() ? file : nullptr;
}

QString refusal(const QString &path, const QString &name)
{
    QString reason;
    admit(path, &reason, name);
    return reason;
}

bool copy(const OpenFile &file, const QString &target, QString *reason)
{
    return CheckedFile::copy(file, target, reason, CheckedFile::Mode::NewOnly);
}

bool copy(const QString &path, const QString &target, QString *reason, const QString &name)
{
    const OpenFilePtr file = admit(path, reason, name);
    return file && copy(*file, target, reason);
}

namespace {
// The folder's own regular file at `path`, opened for comparing; a link
// there is not one.
bool openEntry(QFile &file, const QString &path)
{
    return !QFileInfo(path).isSymLink() && RegularFile::open(file, path, nullptr);
}
}

bool sameContent(const QString &path, const OpenFile &file)
{
    QFile other;
    if (!openEntry(other, path))
        return false;
    const auto reader = file.reader();
    return sameStreams(other, *reader);
}

bool sameContent(const QString &path, const QByteArray &bytes)
{
    QFile file;
    if (!openEntry(file, path) || file.size() != bytes.size())
        return false;
    for (qint64 at = 0; at < bytes.size();) {
        const QByteArray block = file.read(1 << 16);
        if (block.isEmpty() || std::memcmp(block.constData(), bytes.constData() + at, size_t(block.size())) != 0)
            return false;
        at += block.size();
    }
    return true;
}

bool sameContent(const OpenFile &existing, const OpenFile &file)
{
    const auto a = existing.reader();
    const auto b = file.reader();
    return sameStreams(*a, *b);
}

bool sameContent(const OpenFile &existing, const QByteArray &bytes)
{
    if (existing.size() != bytes.size())
        return false;
    for (qint64 at = 0; at < bytes.size();) {
        const QByteArray block = existing.read(at, 1 << 16);
        if (block.isEmpty() || std::memcmp(block.constData(), bytes.constData() + at, size_t(block.size())) != 0)
            return false;
        at += block.size();
    }
    return true;
}

}
