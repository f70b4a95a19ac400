#pragma once
// Renders a standard MIDI file to 16-bit stereo PCM with FluidSynth, as it
// is played (about a tenth of real time on this kind of machine), using the
// system's General MIDI soundfont. FluidSynth itself is in the synthesiser
// module (MidiSynth.h), loaded by the first open().

#include "media/PcmPlayer.h"

#include <QString>
#include <QStringList>

class MidiSynth;

class MidiSource : public PcmSource {
public:
    ~MidiSource() override;

    // The soundfonts looked for, in order (Debian's timgm6mb-soundfont and
    // fluid-soundfont-gm packages install them).
    static QStringList soundFontCandidates();
    // The first candidate that exists, or an empty string.
    static QString soundFont();

    // True when tunes can be played here: a soundfont is installed and the
    // synthesiser module loads.
    static bool canPlay();

    // Opens a MIDI file; nullptr (and a reason in `error`) when the file is
    // no MIDI file or no soundfont is installed.
    static std::unique_ptr<MidiSource> open(const QString &path, QString *error = nullptr);

    int sampleRate() const override { return kRate; }
    int channels() const override { return 2; }
    qint64 read(char *buffer, qint64 maxBytes) override;

    static constexpr int kRate = 44100;

private:
    MidiSource() = default;

    std::unique_ptr<MidiSynth> m_synth;
    qint64 m_tailFrames = -1;     // frames of note release still to render after the last event
};
