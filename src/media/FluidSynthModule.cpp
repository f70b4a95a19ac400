// The MIDI synthesiser module: FluidSynth behind MidiSynth. Built as
// libardeno_midisynth.so and loaded on the first tune (see MidiSynth.h).
#include "media/MidiSynth.h"

#include <QFile>
#include <fluidsynth.h>

namespace {
void quietFluidSynth()
{
    // FluidSynth prints its warnings to stderr; errors are reported to our
    // callers instead.
    static const bool done = [] {
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
        return true;
    }();
    Q_UNUSED(done);
}

class FluidSynth final : public MidiSynth {
public:
    ~FluidSynth() override
    {
        if (m_player) {
            fluid_player_stop(m_player);
            delete_fluid_player(m_player);
        }
        if (m_synth)
            delete_fluid_synth(m_synth);
        if (m_settings)
            delete_fluid_settings(m_settings);
    }

    bool open(const QByteArray &data, const QString &font, int rate, QString *error) override
    {
        auto fail = [error](const QString &why) {
            if (error)
                *error = why;
            return false;
        };
        quietFluidSynth();
        m_settings = new_fluid_settings();
        fluid_settings_setnum(m_settings, "synth.sample-rate", rate);
        fluid_settings_setnum(m_settings, "synth.gain", 0.9);
        fluid_settings_setstr(m_settings, "player.timing-source", "sample");
        fluid_settings_setint(m_settings, "synth.lock-memory", 0);
        m_synth = new_fluid_synth(m_settings);
        if (!m_synth || fluid_synth_sfload(m_synth, QFile::encodeName(font).constData(), 1) == FLUID_FAILED)
            return fail(QStringLiteral("cannot load the soundfont ") + font);
        m_player = new_fluid_player(m_synth);
        if (!m_player || fluid_player_add_mem(m_player, data.constData(), size_t(data.size())) != FLUID_OK
            || fluid_player_play(m_player) != FLUID_OK)
            return fail(QStringLiteral("cannot play the MIDI file"));
        return true;
    }

    bool render(short *out, int frames) override
    {
        return fluid_synth_write_s16(m_synth, frames, out, 0, 2, out, 1, 2) == FLUID_OK;
    }

    bool atEnd() override
    {
        // The player stays "playing" for seconds after its last event; the
        // tune is over once the current tick reaches the total.
        const int total = fluid_player_get_total_ticks(m_player);
        return fluid_player_get_status(m_player) != FLUID_PLAYER_PLAYING
               || (total > 0 && fluid_player_get_current_tick(m_player) >= total);
    }

    void stopPlayer() override { fluid_player_stop(m_player); }

private:
    fluid_settings_t *m_settings = nullptr;
    fluid_synth_t *m_synth = nullptr;
    fluid_player_t *m_player = nullptr;
};
}

extern "C" Q_DECL_EXPORT MidiSynth *ardeno_create_midisynth(int version)
{
    return version == kMidiSynthInterfaceVersion ? new FluidSynth : nullptr;
}
