#pragma once
// Writes one video stream as a RIFF AVI file: 'hdrl' with 'avih' and one
// 'strl' ('strh', 'strf'), a 'movi' list with one chunk per sample and an
// 'idx1' index. A file that would pass the RIFF size limit (1 GiB, as
// players expect) goes on in OpenDML form: further 'AVIX' RIFF lists, an
// 'ix00' index per list and an 'indx' super-index in the stream list, so a
// long video never turns into a broken file. The file appears under its
// name only when close() finished it: until then it is a temporary file
// beside it, and a failed write leaves the previous file (or none). No
// widgets, no codecs.

#include "platform/CheckedFileStream.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

constexpr std::uint32_t makeFourCC(const char (&s)[5])
{
    return std::uint32_t(std::uint8_t(s[0])) | std::uint32_t(std::uint8_t(s[1])) << 8
           | std::uint32_t(std::uint8_t(s[2])) << 16 | std::uint32_t(std::uint8_t(s[3])) << 24;
}

// The 'strh' fields as they are written.
struct AviStreamHeader {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t flags = 0;
    std::uint16_t priority = 0;
    std::uint16_t language = 0;
    std::uint32_t initialFrames = 0;
    std::uint32_t scale = 1;
    std::uint32_t rate = 1;
    std::uint32_t start = 0;
    std::uint32_t suggestedBufferSize = 0;
    std::uint32_t quality = 0xFFFFFFFF;   // -1: the writer's default
    std::uint32_t sampleSize = 0;
    std::int16_t left = 0, top = 0, right = 0, bottom = 0;
};

class AviRiffWriter {
public:
    static constexpr qint64 kDefaultRiffLimit = qint64(1) << 30;
    // The super-index has room for this many RIFF lists (256 GiB at the
    // default limit).
    static constexpr int kMaxRiffLists = 256;

    ~AviRiffWriter();

    // Starts the file; an existing file of that name stays until close().
    // `riffLimit` is the size a RIFF list may reach before the next one
    // begins; tests make it small.
    bool open(const QString &path, qint64 riffLimit = kDefaultRiffLimit);
    bool isOpen() const { return m_file && m_file->isOpen(); }

    // Describes the stream; call before the first chunk. Without a stream the
    // file is written with an empty header list.
    void setStream(const AviStreamHeader &header, const QByteArray &format);
    bool hasStream() const { return m_hasStream; }
    bool frozen() const { return m_headerWritten; }

    // Appends one sample as a chunk ('00db', '00dc').
    bool writeChunk(std::uint32_t ckid, const char *data, qint64 size, bool keyFrame);

    // Writes the indices, fixes every size field and puts the file in
    // place. False when any write failed: then nothing is put in place.
    bool close();

    qint64 frameCount() const { return qint64(m_entries.size()); }
    int riffCount() const { return int(m_segments.size()); }
    // Why the write failed: the system's reason ("No space left on device").
    QString errorString() const { return m_error; }

private:
    struct Entry {
        qint64 pos;   // of the chunk header
        std::uint32_t ckid;
        std::uint32_t size;
        bool key;
    };
    struct Segment {
        qint64 riffPos;    // 'RIFF'
        qint64 moviPos;    // 'LIST' of the movi list
        std::size_t firstEntry;
        qint64 moviEnd = 0;    // set when the list is finished
        qint64 riffEnd = 0;
        qint64 ix00Pos = 0;
        std::uint32_t ix00Size = 0;
    };

    QByteArray buildHeader() const;
    bool writeHeader();
    bool startSegment(bool first);
    bool finishSegment(bool last);
    QByteArray buildIx00(const Segment &segment, std::size_t end) const;
    QByteArray buildIdx1(std::size_t end) const;
    bool put(const QByteArray &bytes);
    bool putAt(qint64 pos, const QByteArray &bytes);
    bool fail(const QString &what);

    std::unique_ptr<CheckedFileStream> m_file;
    qint64 m_limit = kDefaultRiffLimit;
    bool m_hasStream = false;
    bool m_headerWritten = false;
    bool m_failed = false;
    AviStreamHeader m_header;
    QByteArray m_format;
    std::vector<Entry> m_entries;
    std::vector<Segment> m_segments;
    std::size_t m_firstRiffFrames = 0;
    std::uint32_t m_maxChunk = 0;
    std::uint32_t m_chunkId = 0;
    QString m_error;
};
