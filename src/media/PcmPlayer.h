#pragma once
// Plays 16-bit PCM on the default sound output (a SoundSink from the sound
// output module) in push mode: a 10 ms timer keeps the sink's buffer filled
// from a PcmSource, so a source may be a finished buffer (a wave sound) or
// decoded as it plays (a tune, a video's sound track). Pull mode stalls on
// PulseAudio, and QSoundEffect reports its end seconds late, hence this.
//
// Without a sound output (no server, no card, or the sink refuses to start)
// the player reads the source at the real-time pace and discards it, so the
// sound still "ends" after its own length and nothing waits forever.

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <memory>

class QTimer;
class SoundSink;
struct PcmSound;

class PcmSource {
public:
    virtual ~PcmSource() = default;
    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;
    // Writes up to maxBytes (a whole number of frames) of interleaved signed
    // 16-bit samples; returns the bytes written, 0 at the end, -1 when
    // nothing is ready yet but more will come.
    virtual qint64 read(char *buffer, qint64 maxBytes) = 0;
};

// A sound held in memory.
class BufferSource : public PcmSource {
public:
    explicit BufferSource(const PcmSound &sound);
    int sampleRate() const override { return m_rate; }
    int channels() const override { return m_channels; }
    qint64 read(char *buffer, qint64 maxBytes) override;

private:
    QByteArray m_samples;
    int m_rate;
    int m_channels;
    qint64 m_pos = 0;
};

class PcmPlayer : public QObject {
    Q_OBJECT
public:
    explicit PcmPlayer(std::unique_ptr<PcmSource> source, QObject *parent = nullptr);
    ~PcmPlayer() override;

    // The sink's buffer: short for quick sounds (the default, 120 ms), longer
    // for a tune rendered while it plays, so a busy machine does not stutter.
    void setBufferMs(int ms) { m_bufferMs = ms; }

    // Starts playing; finished() follows when the last sample has been heard
    // (or stop() was called).
    void start();
    void stop();
    bool isPlaying() const { return m_started && !m_finished; }
    bool isFinished() const { return m_finished; }
    // True when the sound goes to a real output rather than the silent clock.
    bool hasOutput() const { return m_sink != nullptr; }

signals:
    void finished();

private:
    void feed();
    void feedSilently();
    void onSinkState();
    void finish();
    qint64 bytesPerSecond() const;

    std::unique_ptr<PcmSource> m_source;
    std::unique_ptr<SoundSink> m_sink;
    QTimer *m_timer = nullptr;
    QTimer *m_deadline = nullptr;
    QByteArray m_pending;           // read from the source, not yet taken by the sink
    QElapsedTimer m_clock;
    qint64 m_written = 0;           // bytes handed to the sink (or the silent clock)
    int m_bufferMs = 120;
    bool m_sourceEnded = false;
    bool m_started = false;
    bool m_finished = false;
};
