#include "media/WaveOutput.h"
#include "media/PcmPlayer.h"
#include "media/WaveFile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace {
QPointer<PcmPlayer> &current()
{
    static QPointer<PcmPlayer> player;
    return player;
}

constexpr int kWaitMarginMs = 1500;
}

namespace WaveOutput {

void stop()
{
    if (PcmPlayer *p = current().data()) {
        current().clear();
        p->stop();
        p->deleteLater();
    }
}

bool isPlaying()
{
    return current() && current()->isPlaying();
}

bool play(const QByteArray &image, bool wait)
{
    stop();
    const PcmSound sound = parseWave(image);
    if (!sound.isValid() || !QCoreApplication::instance())
        return false;

    static const bool cleanup = [] {
        qAddPostRoutine(&WaveOutput::stop);
        return true;
    }();
    Q_UNUSED(cleanup);
    auto *player = new PcmPlayer(std::make_unique<BufferSource>(sound));
    current() = player;
    QObject::connect(player, &PcmPlayer::finished, player, [player] {
        if (current() == player)
            current().clear();
        player->deleteLater();
    });

    if (!wait) {
        player->start();
        return true;
    }
    QEventLoop loop;
    QObject::connect(player, &PcmPlayer::finished, &loop, &QEventLoop::quit);
    QObject::connect(player, &QObject::destroyed, &loop, &QEventLoop::quit);  // replaced meanwhile
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    bound.start(int(sound.durationMs()) + kWaitMarginMs);
    player->start();
    if (!player->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return true;
}

bool playFile(const QString &path, bool wait)
{
    QString why;
    const QByteArray bytes = readWaveFile(path, &why);
    if (!why.isEmpty()) {
        stop();          // like any new sound, a failed one silences the old
        return false;
    }
    return play(bytes, wait);
}

} // namespace WaveOutput
