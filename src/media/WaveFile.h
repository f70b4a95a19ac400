#pragma once
// Reads a RIFF WAVE image (a file's bytes) into 16-bit PCM that the sound
// output plays. Understands PCM of 8, 16, 24 and 32 bits and 32-bit float,
// any rate and channel count; other encodings are refused.

#include "document/MediaAdmission.h"

#include <QByteArray>
#include <QString>

struct PcmSound {
    int sampleRate = 0;
    int channels = 0;
    QByteArray samples;          // interleaved signed 16-bit, native order

    bool isValid() const { return sampleRate > 0 && channels > 0; }
    qint64 frameCount() const { return channels ? samples.size() / (2 * channels) : 0; }
    qint64 durationMs() const { return sampleRate ? frameCount() * 1000 / sampleRate : 0; }
};

// Parses the image; on failure returns an invalid sound and, when `error` is
// given, a short reason.
PcmSound parseWave(const QByteArray &image, QString *error = nullptr);

// The bytes of a wave file, read only when it is a regular file of at most
// kMaxWaveBytes (a pipe or a device would block or never end). Empty with
// the reason in *error when it cannot be read.
QByteArray readWaveFile(const QString &path, QString *error = nullptr);
