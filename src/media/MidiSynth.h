#pragma once
// The boundary between MidiSource and the MIDI synthesiser module
// (libardeno_midisynth.so, FluidSynth), loaded on the first tune played so
// that programs linking the media player do not load FluidSynth at start-up.
// The module exports one extern "C" function, ardeno_create_midisynth(version),
// returning a new synthesiser or nullptr when it was built for another
// version of this interface.

#include <QByteArray>
#include <QString>

class MidiSynth {
public:
    virtual ~MidiSynth() = default;
    // Loads the soundfont and starts the player on a standard MIDI file;
    // false with the reason in `error`.
    virtual bool open(const QByteArray &midiFile, const QString &soundFont, int sampleRate,
                      QString *error) = 0;
    // Renders interleaved 16-bit stereo frames; false when the synthesiser fails.
    virtual bool render(short *out, int frames) = 0;
    // True once the player has passed its last event (notes may still ring).
    virtual bool atEnd() = 0;
    // Stops the player; the synthesiser goes on rendering the release.
    virtual void stopPlayer() = 0;
};

constexpr int kMidiSynthInterfaceVersion = 1;
using CreateMidiSynth = MidiSynth *(*)(int version);
#define ARDENO_MIDISYNTH_MODULE "ardeno_midisynth"
#define ARDENO_MIDISYNTH_FACTORY "ardeno_create_midisynth"
