#pragma once
// Writes a zip archive, as learning platforms take packages: each entry with
// its CRC-32 and sizes in its local header (no data descriptors, which some
// platforms' readers refuse for stored entries), texts deflated, files that
// are already compressed (pictures, sounds, videos) stored as they are. The
// archive goes to a sink piece by piece, so a large media file is never
// held in memory. Sizes are limited to what a zip without its 64-bit
// extension holds (4 GB in all).

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

class OpenFile;

class ZipWriter {
public:
    // Takes the next bytes of the archive; false stops the writing.
    using Sink = std::function<bool(const QByteArray &)>;

    explicit ZipWriter(Sink sink, const QDateTime &stamp = QDateTime::currentDateTime());

    // An entry from memory, deflated when `deflate` is set.
    bool addBytes(const QString &name, const QByteArray &bytes, bool deflate = true);
    // An entry stored from an opened file: read once for its CRC, then
    // copied, both through its handle. Fails (with the reason) when it
    // changes between the two readings.
    bool addFile(const QString &name, const OpenFile &file);
    // The central directory; the archive is complete once this returns true.
    bool finish();

    // Why the last call failed ("" when none did).
    QString errorString() const { return m_error; }

    static quint32 crc32(const QByteArray &bytes, quint32 crc = 0);
    // Deflate's raw stream (no zlib header or checksum), as zip stores it.
    static QByteArray deflateRaw(const QByteArray &bytes);

private:
    struct Entry {
        QByteArray name;
        quint32 crc = 0;
        quint64 compressedSize = 0;
        quint64 size = 0;
        quint16 method = 0;
        quint64 offset = 0;
    };
    bool fail(const QString &why);
    bool put(const QByteArray &bytes);
    bool beginEntry(const Entry &entry);
    QByteArray header(const Entry &entry, bool central) const;

    Sink m_sink;
    quint16 m_dosTime = 0, m_dosDate = 0;
    quint64 m_offset = 0;
    QList<Entry> m_entries;
    QString m_error;
};
