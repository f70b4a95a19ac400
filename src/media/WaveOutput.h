#pragma once
// The one wave-sound channel of the program (what sndPlaySound is on
// Windows): a new sound replaces the one still playing. Videos and tunes
// play elsewhere and do not affect it.

#include <QByteArray>
#include <QString>

namespace WaveOutput {

// Plays a RIFF WAVE image. With wait, returns when the sound has ended; the
// event loop keeps running (so the window repaints) but user input waits.
// The wait is bounded by the sound's length plus a margin. Returns false,
// playing nothing, when the image is not a playable wave.
bool play(const QByteArray &image, bool wait);

// Reads and plays a wave file; false when it cannot be read.
bool playFile(const QString &path, bool wait);

// Stops the current wave sound, if any.
void stop();

bool isPlaying();

} // namespace WaveOutput
