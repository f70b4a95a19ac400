#include "media/MciDevice.h"
#include "media/MciDevices.h"
#include "media/MidiSource.h"
#include "media/PcmPlayer.h"
#include "platform/RegularFile.h"

#include <QFileInfo>
#include <cstdio>

SequencerDevice::~SequencerDevice()
{
    if (m_player)
        m_player->stop();
}

int SequencerDevice::open(const QString &file)
{
    if (!RegularFile::problem(file).isEmpty())
        return MciError::FileNotFound;
    m_file = file;
    QString why;
    m_ready = MidiSource::open(file, &why);
    if (m_ready)
        return MciError::None;
    if (!MidiSource::canPlay()) {
        // Said once per run: the tune stays silent, as a missing synthesiser would leave it.
        static bool told = false;
        if (!told) {
            told = true;
            std::fprintf(stderr, "Ardeno: MIDI tunes stay silent: %s\n", qPrintable(why));
        }
        return MciError::CannotLoadDriver;
    }
    return MciError::InvalidFile;
}

int SequencerDevice::capability(const QString &item, QString *reply)
{
    return MciDevice::capability(item, reply);
}

int SequencerDevice::play()
{
    if (m_player && m_player->isPlaying())
        return MciError::None;
    // After the end (or "stop") the tune plays again from its start.
    if (!m_ready)
        m_ready = MidiSource::open(m_file);
    if (!m_ready)
        return MciError::InvalidFile;
    if (m_player)
        m_player->deleteLater();
    m_player = new PcmPlayer(std::move(m_ready), this);
    m_player->setBufferMs(300);
    m_player->start();
    return MciError::None;
}

int SequencerDevice::stop()
{
    if (m_player)
        m_player->stop();
    return MciError::None;
}

QString SequencerDevice::mode() const
{
    return m_player && m_player->isPlaying() ? QStringLiteral("playing") : QStringLiteral("stopped");
}
