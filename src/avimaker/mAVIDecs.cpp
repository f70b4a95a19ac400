#include "avimaker/mAVIDecs.h"

#include "avimaker/AviRiffWriter.h"
#include "avimaker/FrameEncoder.h"

#include <QList>
#include <QtEndian>
#include <memory>

namespace {
int g_users = 0;
}

class AviFileObject {
public:
    unsigned long refs = 1;
    AviRiffWriter writer;
    long error = AVIERR_OK;
    bool hasStream = false;

    void noteError(long e)
    {
        if (error == AVIERR_OK)
            error = e;
    }
    unsigned long release(long *status, QString *reason)
    {
        const unsigned long left = --refs;
        if (left == 0) {
            if (!writer.close())
                noteError(AVIERR_FILEWRITE);
            if (status)
                *status = error;
            if (reason)
                *reason = writer.errorString();
            delete this;
        }
        return left;
    }
};

class AviStreamObject {
public:
    unsigned long refs = 1;
    virtual ~AviStreamObject() = default;
    virtual long setFormat(const QByteArray &format) = 0;
    virtual long write(const unsigned char *data, long size, unsigned flags) = 0;
    virtual void finish() {}
    virtual int rate() const = 0;              // frames per second, rounded
    virtual void noteError(long error) = 0;    // kept by the file
    unsigned long release()
    {
        const unsigned long left = --refs;
        if (left == 0) {
            finish();
            delete this;
        }
        return left;
    }
};

namespace {
// A stream of the file: samples go straight into chunks.
class FileStream : public AviStreamObject {
public:
    FileStream(AviFileObject *file, const AVISTREAMINFO &info) : m_file(file)
    {
        ++m_file->refs;
        m_header.fccType = info.fccType;
        m_header.fccHandler = info.fccHandler;
        m_header.flags = info.dwFlags;
        m_header.priority = info.wPriority;
        m_header.language = info.wLanguage;
        m_header.initialFrames = info.dwInitialFrames;
        m_header.scale = info.dwScale ? info.dwScale : 1;
        m_header.rate = info.dwRate ? info.dwRate : 1;
        m_header.start = info.dwStart;
        m_header.suggestedBufferSize = info.dwSuggestedBufferSize;
        m_header.quality = info.dwQuality;   // as handed over (the window leaves it 0)
        m_header.sampleSize = info.dwSampleSize;
        m_header.left = std::int16_t(info.rcFrame.left);
        m_header.top = std::int16_t(info.rcFrame.top);
        m_header.right = std::int16_t(info.rcFrame.right);
        m_header.bottom = std::int16_t(info.rcFrame.bottom);
        m_file->writer.setStream(m_header, QByteArray());
    }
    ~FileStream() override { m_file->release(nullptr, nullptr); }

    long setFormat(const QByteArray &format) override
    {
        if (m_file->writer.frozen() || format.size() < 40)
            return AVIERR_BADFORMAT;
        // Plain rows are '00db' chunks, anything compressed '00dc'; the
        // handler names the format where the header left it open.
        const quint32 compression =
            qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(format.constData()) + 16);
        const bool raw = compression == 0 || compression == 3;
        m_ckid = raw ? makeFourCC("00db") : makeFourCC("00dc");
        if (m_header.fccHandler == 0)
            m_header.fccHandler = raw ? makeFourCC("DIB ") : compression > 0xFF ? compression : 0;
        m_file->writer.setStream(m_header, format);
        return AVIERR_OK;
    }
    long write(const unsigned char *data, long size, unsigned flags) override
    {
        if (m_file->error != AVIERR_OK)
            return m_file->error;
        if (!m_file->writer.writeChunk(m_ckid, reinterpret_cast<const char *>(data), size,
                                       flags & AVIIF_KEYFRAME)) {
            m_file->noteError(AVIERR_FILEWRITE);
            return AVIERR_FILEWRITE;
        }
        return AVIERR_OK;
    }
    int rate() const override
    {
        return int(qMax<quint32>(1, (m_header.rate + m_header.scale / 2) / m_header.scale));
    }
    void noteError(long error) override { m_file->noteError(error); }

private:
    AviFileObject *m_file;
    AviStreamHeader m_header;
    std::uint32_t m_ckid = makeFourCC("00db");
};

// Full frames: the samples pass through unchanged.
class PassThroughStream : public AviStreamObject {
public:
    explicit PassThroughStream(AviStreamObject *source) : m_source(source) { ++source->refs; }
    ~PassThroughStream() override { m_source->release(); }
    long setFormat(const QByteArray &format) override { return m_source->setFormat(format); }
    long write(const unsigned char *data, long size, unsigned flags) override
    {
        return m_source->write(data, size, flags);
    }
    int rate() const override { return m_source->rate(); }
    void noteError(long error) override { m_source->noteError(error); }

protected:
    AviStreamObject *m_source;
};

// A codec: samples are bitmap rows in the format set, written compressed.
class EncoderStream : public PassThroughStream {
public:
    EncoderStream(AviStreamObject *source, VideoCodec codec, const EncoderSettings &settings)
        : PassThroughStream(source), m_codec(codec), m_settings(settings) {}

    long setFormat(const QByteArray &format) override
    {
        const DibLayout layout = DibLayout::fromBitmapInfo(format);
        if (!layout.valid())
            return AVIERR_BADFORMAT;
        m_settings.fps = m_source->rate();
        if (!m_encoder.open(m_codec, layout, m_settings))
            return AVIERR_NOCOMPRESSOR;
        m_open = true;
        return m_source->setFormat(m_encoder.streamFormat());
    }
    long write(const unsigned char *data, long size, unsigned) override
    {
        if (!m_open)
            return AVIERR_BADFORMAT;
        QList<EncodedPacket> packets;
        if (!m_encoder.encode(data, size, packets))
            return AVIERR_ERROR;
        return writePackets(packets);
    }
    void finish() override
    {
        // Frames an encoder hands back late still go out, in order.
        if (!m_open)
            return;
        QList<EncodedPacket> packets;
        const long err = m_encoder.flush(packets) ? writePackets(packets) : AVIERR_ERROR;
        if (err != AVIERR_OK)
            m_source->noteError(err);
    }

private:
    long writePackets(const QList<EncodedPacket> &packets)
    {
        for (const EncodedPacket &p : packets) {
            const long err = m_source->write(reinterpret_cast<const unsigned char *>(p.data.constData()),
                                             long(p.data.size()), p.keyFrame ? AVIIF_KEYFRAME : 0);
            if (err != AVIERR_OK)
                return err;
        }
        return AVIERR_OK;
    }

    VideoCodec m_codec;
    EncoderSettings m_settings;
    FrameEncoder m_encoder;
    bool m_open = false;
};
}

std::uint32_t mmioStringToFOURCC(const char *text)
{
    char code[5] = {' ', ' ', ' ', ' ', 0};
    for (int i = 0; i < 4 && text && text[i]; ++i)
        code[i] = text[i];
    return makeFourCC(code);
}

void AVIFileInit() { ++g_users; }
void AVIFileExit() { if (g_users > 0) --g_users; }
int aviFileUsers() { return g_users; }

long AVIFileOpen(PAVIFILE *ppfile, const QString &path, unsigned mode, qint64 riffLimit,
                 QString *reason)
{
    if (!ppfile)
        return AVIERR_BADPARAM;
    *ppfile = nullptr;
    if (!(mode & OF_WRITE) || !(mode & OF_CREATE))
        return AVIERR_UNSUPPORTED;   // this writer only creates files
    auto file = std::make_unique<AviFileObject>();
    if (!file->writer.open(path, riffLimit)) {
        if (reason)
            *reason = file->writer.errorString();
        return AVIERR_FILEOPEN;
    }
    *ppfile = file.release();
    return AVIERR_OK;
}

long AVIFileCreateStream(PAVIFILE pfile, PAVISTREAM *ppavi, const AVISTREAMINFO *psi)
{
    if (!pfile || !ppavi || !psi)
        return AVIERR_BADPARAM;
    *ppavi = nullptr;
    if (pfile->hasStream)
        return AVIERR_UNSUPPORTED;   // one video stream per file
    pfile->hasStream = true;
    *ppavi = new FileStream(pfile, *psi);
    return AVIERR_OK;
}

long AVIMakeCompressedStream(PAVISTREAM *ppsCompressed, PAVISTREAM psSource,
                             const AVICOMPRESSOPTIONS *lpOptions)
{
    if (!ppsCompressed || !psSource || !lpOptions)
        return AVIERR_BADPARAM;
    *ppsCompressed = nullptr;
    const VideoCodecInfo *codec = videoCodecByFourcc(lpOptions->fccHandler);
    if (lpOptions->fccHandler == 0 || (codec && codec->id == VideoCodec::None)) {
        *ppsCompressed = new PassThroughStream(psSource);
        return AVIERR_OK;
    }
    if (!codec)
        return AVIERR_NOCOMPRESSOR;
    EncoderSettings settings;
    settings.keyFrameEvery = (lpOptions->dwFlags & AVICOMPRESSF_KEYFRAMES)
                                 ? int(lpOptions->dwKeyFrameEvery) : 0;
    settings.bytesPerSecond = (lpOptions->dwFlags & AVICOMPRESSF_DATARATE)
                                  ? std::int64_t(lpOptions->dwBytesPerSecond) : 0;
    settings.quality = lpOptions->dwQuality > 10000 ? -1 : int(lpOptions->dwQuality / 100);
    *ppsCompressed = new EncoderStream(psSource, codec->id, settings);
    return AVIERR_OK;
}

long AVIStreamSetFormat(PAVISTREAM pavi, long lPos, const void *lpFormat, long cbFormat)
{
    if (!pavi || !lpFormat || cbFormat <= 0 || lPos != 0)
        return AVIERR_BADPARAM;
    return pavi->setFormat(QByteArray(static_cast<const char *>(lpFormat), cbFormat));
}

long AVIStreamWrite(PAVISTREAM pavi, long lStart, long lSamples, const void *lpBuffer,
                    long cbBuffer, unsigned dwFlags)
{
    // Samples are appended in the order written; the writer keeps no gaps.
    Q_UNUSED(lStart);
    if (!pavi || lSamples != 1 || (!lpBuffer && cbBuffer > 0) || cbBuffer < 0)
        return AVIERR_BADPARAM;
    return pavi->write(static_cast<const unsigned char *>(lpBuffer), cbBuffer, dwFlags);
}

unsigned long AVIStreamRelease(PAVISTREAM pavi)
{
    return pavi ? pavi->release() : 0;
}

unsigned long AVIFileRelease(PAVIFILE pfile, long *status, QString *reason)
{
    return pfile ? pfile->release(status, reason) : 0;
}

void AVISaveOptionsFree(int, AVICOMPRESSOPTIONS **)
{
    // The options hold no allocations of ours.
}
