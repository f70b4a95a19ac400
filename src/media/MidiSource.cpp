#include "MidiSource.h"

#include <QFile>
#include <QFileInfo>
#include <fluidsynth.h>

namespace {
constexpr int kReleaseMs = 800;   // let the last notes ring out

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
}

QStringList MidiSource::soundFontCandidates()
{
    return {QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2"),
            QStringLiteral("/usr/share/soundfonts/default.sf2"),
            QStringLiteral("/usr/share/soundfonts/FluidR3_GM.sf2")};
}

QString MidiSource::soundFont()
{
    for (const QString &path : soundFontCandidates())
        if (QFileInfo(path).isFile())
            return path;
    return QString();
}

std::unique_ptr<MidiSource> MidiSource::open(const QString &path, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return std::unique_ptr<MidiSource>();
    };
    quietFluidSynth();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read the file"));
    const QByteArray data = file.readAll();
    if (!data.startsWith("MThd"))
        return fail(QStringLiteral("not a standard MIDI file"));
    const QString font = soundFont();
    if (font.isEmpty())
        return fail(QStringLiteral("no General MIDI soundfont installed "
                                   "(install the Debian package timgm6mb-soundfont)"));

    std::unique_ptr<MidiSource> src(new MidiSource);
    src->m_settings = new_fluid_settings();
    fluid_settings_setnum(src->m_settings, "synth.sample-rate", kRate);
    fluid_settings_setnum(src->m_settings, "synth.gain", 0.9);
    fluid_settings_setstr(src->m_settings, "player.timing-source", "sample");
    fluid_settings_setint(src->m_settings, "synth.lock-memory", 0);
    src->m_synth = new_fluid_synth(src->m_settings);
    if (!src->m_synth || fluid_synth_sfload(src->m_synth, QFile::encodeName(font).constData(), 1) == FLUID_FAILED)
        return fail(QStringLiteral("cannot load the soundfont ") + font);
    src->m_player = new_fluid_player(src->m_synth);
    if (!src->m_player || fluid_player_add_mem(src->m_player, data.constData(), size_t(data.size())) != FLUID_OK
        || fluid_player_play(src->m_player) != FLUID_OK)
        return fail(QStringLiteral("cannot play the MIDI file"));
    return src;
}

MidiSource::~MidiSource()
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

qint64 MidiSource::read(char *buffer, qint64 maxBytes)
{
    qint64 frames = maxBytes / 4;
    if (m_tailFrames >= 0)
        frames = qMin(frames, m_tailFrames);
    if (frames <= 0)
        return 0;
    auto *out = reinterpret_cast<short *>(buffer);
    if (fluid_synth_write_s16(m_synth, int(frames), out, 0, 2, out, 1, 2) != FLUID_OK)
        return 0;
    if (m_tailFrames >= 0) {
        m_tailFrames -= frames;
    } else {
        // The player stays "playing" for seconds after its last event; the
        // tune is over once the current tick reaches the total.
        const int total = fluid_player_get_total_ticks(m_player);
        if (fluid_player_get_status(m_player) != FLUID_PLAYER_PLAYING
            || (total > 0 && fluid_player_get_current_tick(m_player) >= total)) {
            fluid_player_stop(m_player);
            m_tailFrames = qint64(kRate) * kReleaseMs / 1000;
        }
    }
    return frames * 4;
}
