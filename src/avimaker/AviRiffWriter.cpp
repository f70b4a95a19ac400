#include "avimaker/AviRiffWriter.h"

#include <QtEndian>

namespace {
constexpr std::uint32_t AVIF_HASINDEX = 0x10;
constexpr std::uint32_t AVIIF_KEYFRAME = 0x10;
constexpr int kIndxPayload = 24 + 16 * AviRiffWriter::kMaxRiffLists;
constexpr int kOdmlPayload = 4 + 8 + 248;   // 'odml' + 'dmlh' chunk

// Little-endian byte builder.
class Bytes {
public:
    QByteArray data;
    Bytes &u32(std::uint32_t v)
    {
        char b[4];
        qToLittleEndian(v, b);
        data.append(b, 4);
        return *this;
    }
    Bytes &u16(std::uint16_t v)
    {
        char b[2];
        qToLittleEndian(v, b);
        data.append(b, 2);
        return *this;
    }
    Bytes &u64(std::uint64_t v) { return u32(std::uint32_t(v)).u32(std::uint32_t(v >> 32)); }
    Bytes &fcc(const char (&s)[5]) { return u32(makeFourCC(s)); }
    Bytes &zeros(int n)
    {
        data.append(QByteArray(n, '\0'));
        return *this;
    }
    Bytes &raw(const QByteArray &b)
    {
        data.append(b);
        return *this;
    }
};
}

AviRiffWriter::~AviRiffWriter()
{
    if (isOpen())
        close();
}

bool AviRiffWriter::open(const QString &path, qint64 riffLimit)
{
    m_file = std::make_unique<CheckedFileStream>(path);
    m_limit = riffLimit > 0 ? riffLimit : kDefaultRiffLimit;
    if (!m_file->open())
        return fail(m_file->errorString());
    return true;
}

void AviRiffWriter::setStream(const AviStreamHeader &header, const QByteArray &format)
{
    if (m_headerWritten)
        return;
    m_header = header;
    m_format = format;
    m_hasStream = true;
}

QByteArray AviRiffWriter::buildHeader() const
{
    const bool odml = m_segments.size() > 1;
    const std::uint32_t rate = m_header.rate ? m_header.rate : 1;
    const std::uint32_t suggested = qMax(m_header.suggestedBufferSize, m_maxChunk);
    const std::uint32_t width = std::uint32_t(qMax<int>(0, m_header.right - m_header.left));
    const std::uint32_t height = std::uint32_t(qMax<int>(0, m_header.bottom - m_header.top));
    const std::uint32_t firstFrames = std::uint32_t(odml ? m_firstRiffFrames : m_entries.size());

    Bytes avih;
    avih.fcc("avih").u32(56)
        .u32(std::uint32_t(1000000ull * m_header.scale / rate))
        .u32(std::uint32_t(qMin<quint64>(0xFFFFFFFFu, quint64(m_maxChunk) * rate / qMax(1u, m_header.scale))))
        .u32(0).u32(AVIF_HASINDEX).u32(firstFrames).u32(0).u32(m_hasStream ? 1 : 0)
        .u32(suggested).u32(width).u32(height).zeros(16);

    Bytes strl;
    if (m_hasStream) {
        Bytes strh;
        strh.fcc("strh").u32(56)
            .u32(m_header.fccType).u32(m_header.fccHandler).u32(m_header.flags)
            .u16(m_header.priority).u16(m_header.language)
            .u32(m_header.initialFrames).u32(m_header.scale).u32(rate).u32(m_header.start)
            .u32(std::uint32_t(m_entries.size())).u32(suggested).u32(m_header.quality)
            .u32(m_header.sampleSize)
            .u16(std::uint16_t(m_header.left)).u16(std::uint16_t(m_header.top))
            .u16(std::uint16_t(m_header.right)).u16(std::uint16_t(m_header.bottom));
        Bytes strf;
        strf.fcc("strf").u32(std::uint32_t(m_format.size())).raw(m_format);
        if (m_format.size() & 1)
            strf.zeros(1);
        Bytes indx;
        if (odml) {
            // The super-index: one entry per RIFF list, naming its ix00.
            indx.fcc("indx").u32(kIndxPayload).u16(4).zeros(1).zeros(1)
                .u32(std::uint32_t(m_segments.size())).u32(m_chunkId).zeros(12);
            for (std::size_t s = 0; s < m_segments.size(); ++s) {
                const std::size_t end = s + 1 < m_segments.size() ? m_segments[s + 1].firstEntry
                                                                  : m_entries.size();
                indx.u64(quint64(m_segments[s].ix00Pos)).u32(m_segments[s].ix00Size)
                    .u32(std::uint32_t(end - m_segments[s].firstEntry));
            }
            indx.zeros(8 + kIndxPayload - indx.data.size());
        } else {
            // Room for the super-index, used only if the file grows past a RIFF list.
            indx.fcc("JUNK").u32(kIndxPayload).zeros(kIndxPayload);
        }
        strl.fcc("LIST")
            .u32(std::uint32_t(4 + strh.data.size() + strf.data.size() + indx.data.size()))
            .fcc("strl").raw(strh.data).raw(strf.data).raw(indx.data);
    }

    Bytes odmlList;
    if (odml)
        odmlList.fcc("LIST").u32(kOdmlPayload).fcc("odml").fcc("dmlh").u32(248)
            .u32(std::uint32_t(m_entries.size())).zeros(244);
    else
        odmlList.fcc("JUNK").u32(kOdmlPayload).zeros(kOdmlPayload);

    Bytes hdrl;
    hdrl.fcc("LIST")
        .u32(std::uint32_t(4 + avih.data.size() + strl.data.size() + odmlList.data.size()))
        .fcc("hdrl").raw(avih.data).raw(strl.data).raw(odmlList.data);

    // Sizes of the first RIFF and movi lists, once that list is finished.
    std::uint32_t riffSize = 0, moviSize = 0;
    if (!m_segments.empty() && m_segments.front().riffEnd) {
        const Segment &first = m_segments.front();
        riffSize = std::uint32_t(first.riffEnd - first.riffPos - 8);
        moviSize = std::uint32_t(first.moviEnd - first.moviPos - 8);
    }
    Bytes all;
    all.fcc("RIFF").u32(riffSize).fcc("AVI ").raw(hdrl.data).fcc("LIST").u32(moviSize).fcc("movi");
    return all.data;
}

bool AviRiffWriter::fail(const QString &what)
{
    if (!m_failed)
        m_error = what;
    m_failed = true;
    return false;
}

bool AviRiffWriter::put(const QByteArray &bytes)
{
    if (!m_file->write(bytes))
        return fail(m_file->errorString());
    return true;
}

bool AviRiffWriter::putAt(qint64 pos, const QByteArray &bytes)
{
    if (!m_file->seek(pos))
        return fail(m_file->errorString());
    return put(bytes);
}

bool AviRiffWriter::writeHeader()
{
    // The header keeps its length from here on; close() writes it again
    // with the final counts and sizes.
    m_headerWritten = true;
    Segment first;
    first.riffPos = 0;
    const QByteArray header = buildHeader();
    first.moviPos = header.size() - 12;
    first.firstEntry = 0;
    m_segments.push_back(first);
    return put(header);
}

bool AviRiffWriter::startSegment(bool first)
{
    if (first)
        return writeHeader();
    Segment s;
    s.riffPos = m_file->pos();
    s.moviPos = s.riffPos + 12;
    s.firstEntry = m_entries.size();
    m_segments.push_back(s);
    Bytes b;
    b.fcc("RIFF").u32(0).fcc("AVIX").fcc("LIST").u32(0).fcc("movi");
    return put(b.data);
}

QByteArray AviRiffWriter::buildIx00(const Segment &segment, std::size_t end) const
{
    // Standard index of the chunks of one movi list; offsets point at the
    // chunk data, relative to the list's start, bit 31 marks a delta frame.
    const std::uint32_t n = std::uint32_t(end - segment.firstEntry);
    Bytes b;
    b.fcc("ix00").u32(24 + 8 * n).u16(2).zeros(1).data.append(char(1));
    b.u32(n).u32(m_chunkId).u64(quint64(segment.moviPos)).u32(0);
    for (std::size_t i = segment.firstEntry; i < end; ++i) {
        const Entry &e = m_entries[i];
        b.u32(std::uint32_t(e.pos + 8 - segment.moviPos)).u32(e.size | (e.key ? 0 : 0x80000000u));
    }
    return b.data;
}

QByteArray AviRiffWriter::buildIdx1(std::size_t end) const
{
    const qint64 moviFourcc = m_segments.front().moviPos + 8;
    Bytes b;
    b.fcc("idx1").u32(std::uint32_t(16 * end));
    for (std::size_t i = 0; i < end; ++i) {
        const Entry &e = m_entries[i];
        b.u32(e.ckid).u32(e.key ? AVIIF_KEYFRAME : 0).u32(std::uint32_t(e.pos - moviFourcc)).u32(e.size);
    }
    return b.data;
}

bool AviRiffWriter::finishSegment(bool last)
{
    Segment &s = m_segments.back();
    const bool first = m_segments.size() == 1;
    const std::size_t end = m_entries.size();
    // A file that stays within one RIFF list needs only idx1; once it is
    // split, every list carries its own ix00.
    if (!(first && last)) {
        s.ix00Pos = m_file->pos();
        const QByteArray ix = buildIx00(s, end);
        s.ix00Size = std::uint32_t(ix.size());
        if (!put(ix))
            return false;
    }
    s.moviEnd = m_file->pos();
    if (first) {
        m_firstRiffFrames = end;
        if (!put(buildIdx1(end)))
            return false;
    }
    s.riffEnd = m_file->pos();
    if (!first) {
        Bytes sizes;
        sizes.u32(std::uint32_t(s.riffEnd - s.riffPos - 8));
        if (!putAt(s.riffPos + 4, sizes.data))
            return false;
        Bytes movi;
        movi.u32(std::uint32_t(s.moviEnd - s.moviPos - 8));
        if (!putAt(s.moviPos + 4, movi.data) || !m_file->seek(s.riffEnd))
            return fail(m_file->errorString());
    }
    return true;
}

bool AviRiffWriter::writeChunk(std::uint32_t ckid, const char *data, qint64 size, bool keyFrame)
{
    if (m_failed || !isOpen())
        return false;
    if (size < 0 || size > 0x7FFFFFFF - 16)
        return fail(QStringLiteral("sample too large"));
    if (!m_headerWritten && !startSegment(true))
        return false;
    if (m_chunkId == 0)
        m_chunkId = ckid;

    const Segment &cur = m_segments.back();
    const std::size_t inSegment = m_entries.size() - cur.firstEntry;
    const qint64 chunkTotal = 8 + size + (size & 1);
    // What this list still has to hold after the chunk: its ix00 and, in
    // the first list, idx1.
    const qint64 indexes = 32 + 8 * qint64(inSegment + 1)
                           + (m_segments.size() == 1 ? 8 + 16 * qint64(inSegment + 1) : 0);
    if (inSegment > 0 && m_file->pos() + chunkTotal + indexes - cur.riffPos > m_limit) {
        if (int(m_segments.size()) >= kMaxRiffLists)
            return fail(QStringLiteral("file too large"));
        if (!finishSegment(false) || !startSegment(false))
            return false;
    }

    Entry e{m_file->pos(), ckid, std::uint32_t(size), keyFrame};
    Bytes head;
    head.u32(ckid).u32(std::uint32_t(size));
    if (!put(head.data))
        return false;
    if (size > 0 && !m_file->write(data, size))
        return fail(m_file->errorString());
    if ((size & 1) && !put(QByteArray(1, '\0')))
        return false;
    m_entries.push_back(e);
    m_maxChunk = qMax(m_maxChunk, std::uint32_t(size));
    return true;
}

bool AviRiffWriter::close()
{
    if (!isOpen())
        return !m_failed;
    if (!m_failed) {
        if (!m_headerWritten)
            startSegment(true);
        // The first list's size and the final counts go into the header.
        if (!m_failed && finishSegment(true))
            putAt(0, buildHeader());
    }
    if (m_failed) {
        m_file->discard();   // a broken file never takes the name
        return false;
    }
    if (!m_file->commit())
        return fail(m_file->errorString());
    return true;
}
