// The media player routines. They talk to the device layer in command
// strings (MciDevices), with one 128-character reply buffer per call, and to
// the wave-sound channel (WaveOutput).
#include "media/modSound.h"
#include "media/MciDevices.h"
#include "media/MciText.h"
#include "media/WaveOutput.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <stdexcept>

#include "platform/MsgBox.h"

static void initSoundResources()
{
    // The sounds live in a static library: their resource data must be
    // registered by hand (outside any namespace).
    static const bool done = [] {
        Q_INIT_RESOURCE(sounds);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

bool isSync(const QString &mode)
{
    return mode.compare(QLatin1String("sync"), Qt::CaseInsensitive) == 0;
}

// The reply buffer of one routine call: 128 blanks at first; each reply
// overwrites its beginning up to the reply's terminating zero, so a failed
// command leaves the previous reply in place.
class ReplyBuffer {
public:
    int send(const QString &command)
    {
        QString reply;
        const int code = MciDevices::sendString(command, &reply);
        if (code == 0) {
            reply.truncate(127);
            m_buffer.replace(0, reply.size() + 1, reply + QChar(0));
        }
        return code;
    }
    QString text() const
    {
        const int zero = m_buffer.indexOf(QChar(0));
        return zero < 0 ? m_buffer : m_buffer.left(zero);
    }

private:
    QString m_buffer = QString(128, QLatin1Char(' '));
};

// A failure inside a routine (what would be a run-time error).
struct MediaFailure : std::runtime_error {
    MediaFailure() : std::runtime_error("media failure") {}
};

int toNumber(const QString &item)
{
    bool ok = false;
    const int n = item.trimmed().toInt(&ok);
    if (!ok)
        throw MediaFailure();
    return n;
}

void closeAllNow()
{
    ReplyBuffer buffer;
    buffer.send(QStringLiteral("close all"));
}

// Opening a video or tune waits (briefly) for the file with the event loop
// running, so a timer of the caller may call a routine meanwhile. Such a call
// runs right after the routine in progress, in order, as it would where
// opening a device does not let events through.
void serialized(const std::function<void()> &routine)
{
    static int depth = 0;
    static QList<std::function<void()>> later;
    if (depth > 0) {
        later.append(routine);
        return;
    }
    ++depth;
    routine();
    while (!later.isEmpty())
        later.takeFirst()();
    --depth;
}

void playVideo(const QString &path, QWidget *target, bool stretch, bool avi)
{
    try {
        if (!target)
            throw MediaFailure();
        ReplyBuffer buffer;
        const QString shortName = GetShortName(path);
        const QRect inner = target->contentsRect();
        const int w = inner.width();
        const int h = inner.height();
        buffer.send(QStringLiteral("open ") + (avi ? QStringLiteral("AVIvideo!") : QStringLiteral("MPEGvideo!"))
                    + shortName + QStringLiteral(" alias movie"));
        if (buffer.send(QStringLiteral("window movie handle ")
                        + QString::number(MciDevices::registerWindow(target))) != 0)
            throw MediaFailure();
        if (stretch) {
            buffer.send(QStringLiteral("capability movie can stretch"));
            if (buffer.text().contains(QLatin1String("true"), Qt::CaseInsensitive)) {
                if (avi) {
                    buffer.send(QStringLiteral("where movie source"));
                    const QStringList items = buffer.text().split(QLatin1Char(' '));
                    if (items.size() < 4)
                        throw MediaFailure();
                    buffer.send(aviDestinationCommand(w, h, toNumber(items[2]), toNumber(items[3])));
                } else {
                    buffer.send(fillDestinationCommand(w, h));
                }
            }
        }
        buffer.send(QStringLiteral("play movie"));
        QCoreApplication::processEvents();
    } catch (const std::exception &) {
        closeAllNow();
        MsgBox(avi ? QStringLiteral("Error playing AVI") : QStringLiteral("Error playing MPEG"), MsgIcon::Critical);
    }
}

void playTune(const QString &path, const QString &deviceType, const QString &failure)
{
    try {
        ReplyBuffer buffer;
        const QString shortName = GetShortName(path);
        buffer.send(QStringLiteral("open ") + deviceType + QLatin1Char('!') + shortName
                    + QStringLiteral(" alias song "));
        buffer.send(QStringLiteral("play song"));
    } catch (const std::exception &) {
        closeAllNow();
        MsgBox(failure, MsgIcon::Critical);
    }
}

} // namespace

void PlayWave(const QString &path, const QString &mode)
{
    WaveOutput::playFile(path, isSync(mode));
}

QByteArray resourceSoundData(int id)
{
    initSoundResources();
    static QHash<int, QByteArray> cache;     // kept for the life of the program
    if (!cache.contains(id)) {
        QFile file(QStringLiteral(":/sounds/%1.wav").arg(id));
        cache.insert(id, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return cache.value(id);
}

void PlayResourceSound(int id, const QString &mode)
{
    const QByteArray data = resourceSoundData(id);
    if (!data.isEmpty())
        WaveOutput::play(data, isSync(mode));
}

void PlayAVI(const QString &path, QWidget *pictureBox, bool stretch)
{
    QPointer<QWidget> box(pictureBox);
    serialized([=] { playVideo(path, box, stretch, true); });
}

void PlayMPEG(const QString &path, QWidget *pictureBox, bool stretch)
{
    QPointer<QWidget> box(pictureBox);
    serialized([=] { playVideo(path, box, stretch, false); });
}

void PlayMIDI(const QString &path)
{
    serialized([=] { playTune(path, QStringLiteral("sequencer"), QStringLiteral("Error playing MIDI.")); });
}

void PlayMP3(const QString &path)
{
    serialized([=] { playTune(path, QStringLiteral("MPEGvideo"), QStringLiteral("Error playing MP3.")); });
}

void CloseAll()
{
    serialized(closeAllNow);
}

QString GetShortName(const QString &path)
{
    // Linux has no short names: the path itself serves, as long as it names
    // an existing file. The device layer takes the file name up to " alias ",
    // so blanks in it are kept.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return QStringLiteral("error");
    return path;
}
