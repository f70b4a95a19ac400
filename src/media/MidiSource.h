#pragma once
// Renders a standard MIDI file to 16-bit stereo PCM with FluidSynth, as it
// is played (about a tenth of real time on this kind of machine), using the
// system's General MIDI soundfont.

#include "PcmPlayer.h"

#include <QString>
#include <QStringList>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;

class MidiSource : public PcmSource {
public:
    ~MidiSource() override;

    // The soundfonts looked for, in order (Debian's timgm6mb-soundfont and
    // fluid-soundfont-gm packages install them).
    static QStringList soundFontCandidates();
    // The first candidate that exists, or an empty string.
    static QString soundFont();

    // Opens a MIDI file; nullptr (and a reason in `error`) when the file is
    // no MIDI file or no soundfont is installed.
    static std::unique_ptr<MidiSource> open(const QString &path, QString *error = nullptr);

    int sampleRate() const override { return kRate; }
    int channels() const override { return 2; }
    qint64 read(char *buffer, qint64 maxBytes) override;

    static constexpr int kRate = 44100;

private:
    MidiSource() = default;

    _fluid_hashtable_t *m_settings = nullptr;
    _fluid_synth_t *m_synth = nullptr;
    _fluid_player_t *m_player = nullptr;
    qint64 m_tailFrames = -1;     // frames of note release still to render after the last event
};
