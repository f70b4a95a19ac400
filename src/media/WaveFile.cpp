#include "media/WaveFile.h"

#include "platform/RegularFile.h"

#include <QtEndian>
#include <cstring>

namespace {
quint32 le32(const char *p) { return qFromLittleEndian<quint32>(p); }
quint16 le16(const char *p) { return qFromLittleEndian<quint16>(p); }

PcmSound fail(QString *error, const char *why)
{
    if (error)
        *error = QString::fromLatin1(why);
    return {};
}
}

PcmSound parseWave(const QByteArray &image, QString *error)
{
    const char *d = image.constData();
    const qint64 size = image.size();
    if (size < 12 || std::memcmp(d, "RIFF", 4) != 0 || std::memcmp(d + 8, "WAVE", 4) != 0)
        return fail(error, "not a RIFF WAVE file");

    int format = 0, channels = 0, rate = 0, bits = 0;
    bool haveFmt = false;
    const char *data = nullptr;
    qint64 dataSize = 0;
    // Walk the chunks; each is padded to an even length. A data chunk whose
    // size runs past the end (a truncated recording) plays what is there.
    for (qint64 pos = 12; pos + 8 <= size;) {
        const char *chunk = d + pos;
        const qint64 len = le32(chunk + 4);
        const qint64 avail = qMin(len, size - pos - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && avail >= 16) {
            format = le16(chunk + 8);
            channels = le16(chunk + 10);
            rate = int(le32(chunk + 12));
            bits = le16(chunk + 22);
            if (format == 0xFFFE && avail >= 40)          // WAVE_FORMAT_EXTENSIBLE
                format = le16(chunk + 8 + 24);
            haveFmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data = chunk + 8;
            dataSize = avail;
            if (haveFmt)
                break;
        }
        pos += 8 + len + (len & 1);
    }
    if (!haveFmt)
        return fail(error, "no format chunk");
    if (!data)
        return fail(error, "no data chunk");
    if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000)
        return fail(error, "unsupported channel count or rate");
    const bool pcm = format == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool flt = format == 3 && bits == 32;
    if (!pcm && !flt)
        return fail(error, "unsupported encoding");

    const int bytesPerSample = bits / 8;
    const qint64 count = dataSize / (bytesPerSample * channels) * channels;
    PcmSound sound;
    sound.sampleRate = rate;
    sound.channels = channels;
    sound.samples.resize(count * 2);
    auto *out = reinterpret_cast<qint16 *>(sound.samples.data());
    for (qint64 i = 0; i < count; ++i) {
        const char *s = data + i * bytesPerSample;
        qint16 v = 0;
        if (flt) {
            float f;
            std::memcpy(&f, s, 4);
            f = qFromLittleEndian(f);
            v = qint16(qBound(-32768.0f, f * 32767.0f, 32767.0f));
        } else if (bits == 8) {
            v = qint16((int(quint8(*s)) - 128) * 256);     // 8-bit WAVE is unsigned
        } else {
            v = qint16(le16(s + bytesPerSample - 2));      // keep the top 16 bits
        }
        out[i] = v;
    }
    return sound;
}

QByteArray readWaveFile(const QString &path, QString *error)
{
    return RegularFile::read(path, kMaxWaveBytes, error);
}
