#pragma once
// A small RIFF walker for checking written AVI files: every chunk with its
// path ("RIFF:AVI /LIST:hdrl/avih"), offset of its header and payload.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtEndian>

struct RiffChunk {
    QString path;
    qint64 offset = 0;    // of the chunk header
    QByteArray payload;
};

inline quint32 le32At(const QByteArray &b, qint64 off)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(b.constData()) + off);
}
inline quint16 le16At(const QByteArray &b, qint64 off)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(b.constData()) + off);
}

// Walks [begin, end); false when a size runs past its parent.
inline bool walkRiff(const QByteArray &file, qint64 begin, qint64 end, const QString &parent,
                     QList<RiffChunk> &out)
{
    qint64 pos = begin;
    while (pos + 8 <= end) {
        const QString id = QString::fromLatin1(file.mid(pos, 4));
        const qint64 size = le32At(file, pos + 4);
        if (pos + 8 + size > end)
            return false;
        if (id == "RIFF" || id == "LIST") {
            const QString path = parent + id + ":" + QString::fromLatin1(file.mid(pos + 8, 4));
            out.append({path, pos, file.mid(pos + 8, size)});
            if (!walkRiff(file, pos + 12, pos + 8 + size, path + "/", out))
                return false;
        } else {
            out.append({parent + id, pos, file.mid(pos + 8, size)});
        }
        pos += 8 + size + (size & 1);
    }
    return pos == end;
}

inline QList<RiffChunk> readRiff(const QByteArray &file, bool *ok = nullptr)
{
    QList<RiffChunk> chunks;
    const bool good = walkRiff(file, 0, file.size(), QString(), chunks);
    if (ok)
        *ok = good;
    return chunks;
}

inline QList<RiffChunk> chunksAt(const QList<RiffChunk> &all, const QString &path)
{
    QList<RiffChunk> found;
    for (const RiffChunk &c : all)
        if (c.path == path)
            found.append(c);
    return found;
}
