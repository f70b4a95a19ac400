#include "media/DecodedSource.h"
#include "platform/RegularFile.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QAudioFormat>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <cstring>

DecodedSource::DecodedSource(const QString &path, QObject *parent) : QObject(parent)
{
    m_decoder = new QAudioDecoder(this);
    QAudioFormat format;
    format.setSampleRate(kRate);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    m_decoder->setAudioFormat(format);
    connect(m_decoder, &QAudioDecoder::bufferReady, this, &DecodedSource::takeBuffers);
    connect(m_decoder, &QAudioDecoder::finished, this, [this] { m_finished = true; });
    connect(m_decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this, [this] {
        m_failed = m_data.isEmpty();
        m_finished = true;
    });
    // A pipe or a device behind the name would stall the decoder.
    if (!RegularFile::problem(path).isEmpty()) {
        m_failed = true;
        m_finished = true;
        return;
    }
    m_decoder->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    m_decoder->start();
}

DecodedSource::~DecodedSource()
{
    m_decoder->stop();
}

void DecodedSource::takeBuffers()
{
    while (m_decoder->bufferAvailable()) {
        const QAudioBuffer buffer = m_decoder->read();
        const QAudioFormat f = buffer.format();
        if (f.sampleFormat() == QAudioFormat::Int16 && f.channelCount() == 2 && f.sampleRate() == kRate) {
            m_data.append(buffer.constData<char>(), int(buffer.byteCount()));
        } else if (f.sampleFormat() == QAudioFormat::Int16 && f.channelCount() == 1 && f.sampleRate() == kRate) {
            const auto *s = buffer.constData<qint16>();
            const int n = int(buffer.sampleCount());
            QByteArray stereo(n * 4, Qt::Uninitialized);
            auto *d = reinterpret_cast<qint16 *>(stereo.data());
            for (int i = 0; i < n; ++i)
                d[2 * i] = d[2 * i + 1] = s[i];
            m_data.append(stereo);
        }
        // Other formats: the decoder ignored the requested format; skip.
    }
    // Drop what was read long ago, so a long tune does not pile up.
    if (m_pos > (1 << 20)) {
        m_data.remove(0, int(m_pos));
        m_pos = 0;
    }
}

bool DecodedSource::waitUntilReady(int timeoutMs)
{
    if (m_data.isEmpty() && !m_finished) {
        QEventLoop loop;
        QTimer poll;
        QTimer bound;
        bound.setSingleShot(true);
        connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!m_data.isEmpty() || m_finished)
                loop.quit();
        });
        poll.start(5);
        bound.start(timeoutMs);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return !m_failed && (!m_data.isEmpty() || !m_finished);
}

qint64 DecodedSource::read(char *buffer, qint64 maxBytes)
{
    const qint64 n = qMin(maxBytes / 4 * 4, m_data.size() - m_pos);
    if (n <= 0)
        return m_finished ? 0 : -1;          // -1: nothing decoded yet, more to come
    std::memcpy(buffer, m_data.constData() + m_pos, size_t(n));
    m_pos += n;
    return n;
}
