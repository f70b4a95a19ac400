#pragma once
// The boundary between PcmPlayer and the sound output module
// (libardeno_soundout.so: Qt Multimedia's QAudioSink on the sound server),
// loaded by the first sound played, so that the editor loads neither Qt
// Multimedia nor the sound server's client library at start-up. The module
// exports one extern "C" function, ardeno_create_sound_sink(version),
// returning a new sink or nullptr when it was built for another version of
// this interface.

#include <QtGlobal>
#include <functional>

class SoundSink {
public:
    virtual ~SoundSink() = default;
    // Opens the default output for interleaved signed 16-bit samples in push
    // mode with a buffer of `bufferBytes`; false when there is no output (no
    // sound server, no card) or it refuses to start.
    virtual bool start(int sampleRate, int channels, int bufferBytes) = 0;
    virtual qint64 bytesFree() const = 0;
    virtual qint64 write(const char *data, qint64 size) = 0;
    virtual qint64 processedUSecs() const = 0;
    // True when it has played everything it was given.
    virtual bool isIdle() const = 0;
    // True when it stopped with an error (the server went away).
    virtual bool hasFailed() const = 0;
    // Drops what is not yet played and stops.
    virtual void stop() = 0;
    // Called on the owner's thread when the output's state changes.
    virtual void setStateHandler(std::function<void()> handler) = 0;
};

constexpr int kSoundSinkInterfaceVersion = 1;
using CreateSoundSink = SoundSink *(*)(int version);
#define ARDENO_SOUNDOUT_MODULE "ardeno_soundout"
#define ARDENO_SOUNDOUT_FACTORY "ardeno_create_sound_sink"
