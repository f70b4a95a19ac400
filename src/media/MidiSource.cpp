#include "media/MidiSource.h"

#include "media/MidiSynth.h"
#include "platform/ModuleLoader.h"

#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

namespace {
constexpr int kReleaseMs = 800;   // let the last notes ring out

std::unique_ptr<MidiSynth> createSynth(QString *why)
{
    return ModuleLoader::create<MidiSynth>(QStringLiteral(ARDENO_MIDISYNTH_MODULE), ARDENO_MIDISYNTH_FACTORY,
                                           kMidiSynthInterfaceVersion, why);
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

bool MidiSource::canPlay()
{
    // Asked once: the module either is there and of this version, or not.
    static const bool synthesiser = createSynth(nullptr) != nullptr;
    return !soundFont().isEmpty() && synthesiser;
}

std::unique_ptr<MidiSource> MidiSource::open(const QString &path, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return std::unique_ptr<MidiSource>();
    };
    // A standard MIDI file of a quiz tune is a few KB; a pipe or a device is
    // never opened (it would block or never end).
    constexpr qint64 kMaxMidiBytes = 16 * 1024 * 1024;
    QString unreadable;
    const QByteArray data = RegularFile::read(path, kMaxMidiBytes, &unreadable);
    if (!unreadable.isEmpty())
        return fail(QStringLiteral("cannot read the file (%1)").arg(unreadable));
    if (!data.startsWith("MThd"))
        return fail(QStringLiteral("not a standard MIDI file"));
    const QString font = soundFont();
    if (font.isEmpty())
        return fail(QStringLiteral("no General MIDI soundfont installed "
                                   "(install the Debian package timgm6mb-soundfont)"));
    QString why;
    std::unique_ptr<MidiSynth> synth = createSynth(&why);
    if (!synth)
        return fail(QStringLiteral("the MIDI synthesiser could not be loaded (%1)").arg(why));

    std::unique_ptr<MidiSource> src(new MidiSource);
    src->m_synth = std::move(synth);
    if (!src->m_synth->open(data, font, kRate, &why))
        return fail(why);
    return src;
}

MidiSource::~MidiSource() = default;

qint64 MidiSource::read(char *buffer, qint64 maxBytes)
{
    qint64 frames = maxBytes / 4;
    if (m_tailFrames >= 0)
        frames = qMin(frames, m_tailFrames);
    if (frames <= 0)
        return 0;
    if (!m_synth->render(reinterpret_cast<short *>(buffer), int(frames)))
        return 0;
    if (m_tailFrames >= 0) {
        m_tailFrames -= frames;
    } else if (m_synth->atEnd()) {
        m_synth->stopPlayer();
        m_tailFrames = qint64(kRate) * kReleaseMs / 1000;
    }
    return frames * 4;
}
