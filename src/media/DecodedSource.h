#pragma once
// A compressed sound file (an MP3 tune) decoded by Qt Multimedia's
// QAudioDecoder into 16-bit stereo PCM for PcmPlayer. Decoding runs ahead in
// the background; read() gives what is there.
//
// Why not QMediaPlayer's own sound output: on Qt 6.4 with GStreamer it stalls
// on PulseAudio once the device list is known, and plays nothing.

#include "media/PcmPlayer.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QAudioDecoder;

class DecodedSource : public QObject, public PcmSource {
    Q_OBJECT
public:
    explicit DecodedSource(const QString &path, QObject *parent = nullptr);
    ~DecodedSource() override;

    // Waits (the event loop running, user input held back) until the first
    // samples are decoded or decoding failed, at most timeoutMs. False when
    // the file cannot be decoded.
    bool waitUntilReady(int timeoutMs);

    int sampleRate() const override { return kRate; }
    int channels() const override { return 2; }
    qint64 read(char *buffer, qint64 maxBytes) override;

    static constexpr int kRate = 44100;

private:
    void takeBuffers();

    QAudioDecoder *m_decoder = nullptr;
    QByteArray m_data;        // decoded, not yet read
    qint64 m_pos = 0;
    bool m_finished = false;
    bool m_failed = false;
};
