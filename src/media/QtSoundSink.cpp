// The sound output module: PCM pushed into Qt Multimedia's QAudioSink on the
// default output. Built as libardeno_soundout.so and loaded on first use (see
// SoundSink.h); it links only Qt.
//
// Push mode, fed by PcmPlayer's timer: pull mode stalls on PulseAudio.
#include "media/SoundSink.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>
#include <memory>

namespace {

class QtSoundSink final : public SoundSink {
public:
    ~QtSoundSink() override { stop(); }

    bool start(int sampleRate, int channels, int bufferBytes) override
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull() || sampleRate <= 0 || channels <= 0)
            return false;
        QAudioFormat format;
        format.setSampleRate(sampleRate);
        format.setChannelCount(channels);
        format.setSampleFormat(QAudioFormat::Int16);
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->setBufferSize(bufferBytes);
        QObject::connect(m_sink.get(), &QAudioSink::stateChanged, m_sink.get(), [this] {
            if (m_handler)
                m_handler();
        });
        m_io = m_sink->start();
        if (!m_io || m_sink->error() != QAudio::NoError) {
            m_sink.reset();
            return false;
        }
        return true;
    }
    qint64 bytesFree() const override { return m_sink ? m_sink->bytesFree() : 0; }
    qint64 write(const char *data, qint64 size) override { return m_io ? m_io->write(data, size) : -1; }
    qint64 processedUSecs() const override { return m_sink ? m_sink->processedUSecs() : 0; }
    bool isIdle() const override { return m_sink && m_sink->state() == QAudio::IdleState; }
    bool hasFailed() const override
    {
        return m_sink && m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError;
    }
    void stop() override
    {
        if (!m_sink)
            return;
        m_handler = nullptr;
        QObject::disconnect(m_sink.get(), nullptr, nullptr, nullptr);
        m_sink->reset();
        m_sink->stop();
    }
    void setStateHandler(std::function<void()> handler) override { m_handler = std::move(handler); }

private:
    std::unique_ptr<QAudioSink> m_sink;
    QPointer<QIODevice> m_io;
    std::function<void()> m_handler;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundSink *ardeno_create_sound_sink(int version)
{
    if (version != kSoundSinkInterfaceVersion)
        return nullptr;
    return new QtSoundSink;
}
