#include "media/PcmPlayer.h"
#include "media/SoundSink.h"
#include "media/WaveFile.h"
#include "platform/ModuleLoader.h"

#include <QTimer>
#include <cstdio>
#include <cstring>

BufferSource::BufferSource(const PcmSound &sound)
    : m_samples(sound.samples), m_rate(sound.sampleRate), m_channels(sound.channels)
{
}

qint64 BufferSource::read(char *buffer, qint64 maxBytes)
{
    const qint64 frame = 2 * qMax(1, m_channels);
    const qint64 n = qMin(maxBytes / frame * frame, m_samples.size() - m_pos);
    if (n <= 0)
        return 0;
    std::memcpy(buffer, m_samples.constData() + m_pos, size_t(n));
    m_pos += n;
    return n;
}

namespace {
constexpr int kFeedIntervalMs = 10;
constexpr int kEndMarginMs = 400;     // how late the sink may report its end

// A new sink of the sound output module, or nullptr (said once on standard
// error) when the module cannot be loaded: sounds then play silently.
std::unique_ptr<SoundSink> createSoundSink()
{
    QString why;
    std::unique_ptr<SoundSink> sink = ModuleLoader::create<SoundSink>(
        QStringLiteral(ARDENO_SOUNDOUT_MODULE), ARDENO_SOUNDOUT_FACTORY, kSoundSinkInterfaceVersion, &why);
    static bool told = false;
    if (!sink && !told) {
        told = true;
        std::fprintf(stderr, "Sounds stay silent: %s\n", qPrintable(why));
    }
    return sink;
}
}

PcmPlayer::PcmPlayer(std::unique_ptr<PcmSource> source, QObject *parent)
    : QObject(parent), m_source(std::move(source))
{
}

PcmPlayer::~PcmPlayer()
{
    if (m_sink)
        m_sink->stop();
}

qint64 PcmPlayer::bytesPerSecond() const
{
    return qint64(m_source->sampleRate()) * m_source->channels() * 2;
}

void PcmPlayer::start()
{
    if (m_started)
        return;
    m_started = true;
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(kFeedIntervalMs);

    m_sink = createSoundSink();
    if (m_sink && m_sink->start(m_source->sampleRate(), m_source->channels(),
                                int(bytesPerSecond() * m_bufferMs / 1000) & ~3))
        m_sink->setStateHandler([this] { onSinkState(); });
    else
        m_sink.reset();
    m_clock.start();
    if (m_sink) {
        connect(m_timer, &QTimer::timeout, this, &PcmPlayer::feed);
        feed();
    } else {
        connect(m_timer, &QTimer::timeout, this, &PcmPlayer::feedSilently);
        feedSilently();
    }
    if (!m_finished)
        m_timer->start();
}

void PcmPlayer::feed()
{
    if (m_finished || !m_sink)
        return;
    qint64 free = m_sink->bytesFree();
    while (free > 0) {
        if (m_pending.isEmpty()) {
            if (m_sourceEnded)
                break;
            m_pending.resize(int(qMin<qint64>(free, 16384)));
            const qint64 n = m_source->read(m_pending.data(), m_pending.size());
            m_pending.resize(int(qMax<qint64>(n, 0)));
            if (n <= 0) {
                m_sourceEnded = n == 0;
                break;
            }
        }
        const qint64 w = m_sink->write(m_pending.constData(), qMin<qint64>(free, m_pending.size()));
        if (w <= 0)
            break;
        m_pending.remove(0, int(w));
        m_written += w;
        free -= w;
    }
    if (m_sourceEnded && m_pending.isEmpty() && !m_deadline) {
        // The sink says Idle when it has played everything; in case it never
        // does, stop once the written samples must have been heard.
        const qint64 heardMs = m_sink->processedUSecs() / 1000;
        const qint64 totalMs = m_written * 1000 / bytesPerSecond();
        m_deadline = new QTimer(this);
        m_deadline->setSingleShot(true);
        connect(m_deadline, &QTimer::timeout, this, &PcmPlayer::finish);
        m_deadline->start(int(qMax<qint64>(0, totalMs - heardMs) + kEndMarginMs));
        if (m_sink->isIdle())
            onSinkState();
    }
}

void PcmPlayer::feedSilently()
{
    if (m_finished)
        return;
    // Consume the source at the pace a sound card would.
    const qint64 due = m_clock.elapsed() * bytesPerSecond() / 1000;
    QByteArray scratch;
    while (!m_sourceEnded && m_written < due) {
        scratch.resize(int(qMin<qint64>(due - m_written + 4, 16384)));
        const qint64 n = m_source->read(scratch.data(), scratch.size());
        if (n < 0)
            break;               // not ready yet
        if (n == 0)
            m_sourceEnded = true;
        else
            m_written += n;
    }
    if (m_sourceEnded && m_written <= due)
        finish();
}

void PcmPlayer::onSinkState()
{
    if (!m_sink)
        return;
    if (m_sink->isIdle() && m_sourceEnded && m_pending.isEmpty()) {
        finish();
    } else if (m_sink->hasFailed() && !m_finished) {
        // The output went away (server stopped): carry on silently. The sink
        // is in the middle of telling us, so it goes once that is done.
        SoundSink *dead = m_sink.release();
        dead->setStateHandler(nullptr);
        QTimer::singleShot(0, [dead] { delete dead; });
        m_clock.restart();
        m_written = 0;
        disconnect(m_timer, nullptr, this, nullptr);
        connect(m_timer, &QTimer::timeout, this, &PcmPlayer::feedSilently);
    }
}

void PcmPlayer::stop()
{
    finish();
}

void PcmPlayer::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_timer)
        m_timer->stop();
    if (m_deadline)
        m_deadline->stop();
    if (m_sink) {
        m_sink->setStateHandler(nullptr);
        m_sink->stop();
    }
    emit finished();
}
