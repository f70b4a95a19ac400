#include "platform/ZipWriter.h"

#include "platform/OpenFile.h"

#include <QFile>
#include <QtEndian>
#include <array>

namespace {
constexpr quint64 kZipLimit = 0xFFFFFFFFull;   // sizes and offsets in 32 bits
constexpr qint64 kBlock = 1 << 20;

void append16(QByteArray &out, quint16 v)
{
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char *>(&le), 2);
}

void append32(QByteArray &out, quint32 v)
{
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char *>(&le), 4);
}

const std::array<quint32, 256> &crcTable()
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}
}

ZipWriter::ZipWriter(Sink sink, const QDateTime &stamp) : m_sink(std::move(sink))
{
    // Zip keeps local time in the old DOS form: years from 1980, seconds
    // halved.
    const QDate d = stamp.date();
    const QTime t = stamp.time();
    const int year = qBound(1980, d.year(), 2107);
    m_dosDate = quint16(((year - 1980) << 9) | (d.month() << 5) | d.day());
    m_dosTime = quint16((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));
}

quint32 ZipWriter::crc32(const QByteArray &bytes, quint32 crc)
{
    const auto &table = crcTable();
    crc = ~crc;
    for (const char c : bytes)
        crc = table[(crc ^ quint8(c)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

QByteArray ZipWriter::deflateRaw(const QByteArray &bytes)
{
    // qCompress gives a 4-byte length, then zlib's stream: a 2-byte header,
    // the deflate data and a 4-byte checksum.
    const QByteArray z = qCompress(bytes, 9);
    return z.size() < 10 ? QByteArray() : z.mid(6, z.size() - 10);
}

bool ZipWriter::fail(const QString &why)
{
    if (m_error.isEmpty())
        m_error = why;
    return false;
}

bool ZipWriter::put(const QByteArray &bytes)
{
    if (!m_error.isEmpty())
        return false;
    if (m_offset + quint64(bytes.size()) > kZipLimit)
        return fail(QStringLiteral("the package would be larger than 4 GB"));
    if (!m_sink(bytes))
        return fail(QStringLiteral("it cannot be written"));
    m_offset += quint64(bytes.size());
    return true;
}

QByteArray ZipWriter::header(const Entry &e, bool central) const
{
    bool ascii = true;
    for (const char c : e.name)
        ascii = ascii && quint8(c) < 0x80;
    QByteArray h;
    append32(h, central ? 0x02014b50u : 0x04034b50u);
    if (central)
        append16(h, 0x0314);   // made by: Unix, version 2.0
    append16(h, 20);           // needed to extract: 2.0
    append16(h, ascii ? 0 : 0x0800);   // bit 11: the name is UTF-8
    append16(h, e.method);
    append16(h, m_dosTime);
    append16(h, m_dosDate);
    append32(h, e.crc);
    append32(h, quint32(e.compressedSize));
    append32(h, quint32(e.size));
    append16(h, quint16(e.name.size()));
    append16(h, 0);            // extra field
    if (central) {
        append16(h, 0);        // comment
        append16(h, 0);        // disk
        append16(h, 0);        // internal attributes
        append32(h, 0100644u << 16);   // a plain file, rw-r--r--
        append32(h, quint32(e.offset));
    }
    return h + e.name;
}

bool ZipWriter::beginEntry(const Entry &entry)
{
    if (entry.size > kZipLimit || entry.compressedSize > kZipLimit)
        return fail(QStringLiteral("the package would be larger than 4 GB"));
    m_entries << entry;
    m_entries.last().offset = m_offset;
    return put(header(m_entries.last(), false));
}

bool ZipWriter::addBytes(const QString &name, const QByteArray &bytes, bool deflate)
{
    Entry e;
    e.name = name.toUtf8();
    e.size = quint64(bytes.size());
    e.crc = crc32(bytes);
    QByteArray data = deflate ? deflateRaw(bytes) : bytes;
    // Stored when deflating does not make it smaller.
    if (!deflate || data.size() >= bytes.size() || data.isEmpty()) {
        data = bytes;
        e.method = 0;
    } else {
        e.method = 8;
    }
    e.compressedSize = quint64(data.size());
    return beginEntry(e) && put(data);
}

bool ZipWriter::addFile(const QString &name, const OpenFile &source)
{
    const auto reader = source.reader();
    QIODevice &file = *reader;
    Entry e;
    e.name = name.toUtf8();
    for (;;) {
        const QByteArray block = file.read(kBlock);
        if (block.isEmpty())
            break;
        e.crc = crc32(block, e.crc);
        e.size += quint64(block.size());
    }
    e.compressedSize = e.size;
    if (!beginEntry(e) || !file.seek(0))
        return fail(file.errorString());
    quint64 copied = 0;
    quint32 crc = 0;
    for (;;) {
        const QByteArray block = file.read(kBlock);
        if (block.isEmpty())
            break;
        copied += quint64(block.size());
        crc = crc32(block, crc);
        if (copied > e.size || !put(block))
            break;
    }
    if (!m_error.isEmpty())
        return false;
    if (copied != e.size || crc != e.crc)
        return fail(QStringLiteral("it changed while the package was written"));
    return true;
}

bool ZipWriter::finish()
{
    const quint64 start = m_offset;
    QByteArray directory;
    for (const Entry &e : m_entries)
        directory += header(e, true);
    if (!put(directory))
        return false;
    QByteArray end;
    append32(end, 0x06054b50u);
    append16(end, 0);
    append16(end, 0);
    append16(end, quint16(m_entries.size()));
    append16(end, quint16(m_entries.size()));
    append32(end, quint32(directory.size()));
    append32(end, quint32(start));
    append16(end, 0);   // comment
    return put(end);
}
