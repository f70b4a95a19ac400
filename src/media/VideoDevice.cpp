#include "media/MciDevice.h"
#include "media/MciDevices.h"
#include "media/DecodedSource.h"
#include "media/PcmPlayer.h"
#include "media/modSound.h"
#include "platform/RegularFile.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

namespace {
// How long open() waits for a file to load and show its first frame. A file
// that takes longer still opens, but may not know its size.
constexpr int kOpenTimeoutMs = 3000;

QString rectReply(const QRect &r)
{
    return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

bool canShowWindows()
{
    const QString platform = QGuiApplication::platformName();
    return qobject_cast<QApplication *>(QCoreApplication::instance())
           && platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}
}

// ---- MciDevice defaults: what a device without pictures answers ----

int MciDevice::setWindow(QWidget *) { return MciError::UnsupportedFunction; }
int MciDevice::whereSource(QString *) { return MciError::UnsupportedFunction; }
int MciDevice::whereDestination(QString *) { return MciError::UnsupportedFunction; }
int MciDevice::putDestination(const QRect &) { return MciError::UnsupportedFunction; }

int MciDevice::capability(const QString &item, QString *reply)
{
    const QString i = item.toLower();
    if (i == QLatin1String("can stretch") || i == QLatin1String("has video"))
        *reply = QStringLiteral("false");
    else if (i == QLatin1String("can play") || i == QLatin1String("has audio"))
        *reply = QStringLiteral("true");
    else
        return MciError::UnrecognizedKeyword;
    return MciError::None;
}

// ---- VideoSurface ----

VideoSurface::VideoSurface(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("mciVideoSurface"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VideoSurface::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void VideoSurface::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (m_image.isNull()) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    // The destination rectangle is the whole widget: the video is scaled to
    // it without keeping proportions, as the device places it.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), m_image);
}

// ---- VideoDevice ----

VideoDevice::VideoDevice() : m_lastFrame(new QVideoFrame) {}

VideoDevice::~VideoDevice()
{
    delete m_tunePlayer.data();
    if (m_player) {
        disconnect(m_sink, nullptr, this, nullptr);
        m_player->stop();
    }
    detach();
    delete m_ownWindow.data();
    delete m_lastFrame;
}

int VideoDevice::open(const QString &file)
{
    // A pipe or a device behind the name would stall the decoder.
    if (!RegularFile::problem(file).isEmpty())
        return MciError::FileNotFound;
    m_file = file;
    m_player = new QMediaPlayer(this);
    // No explicit device: the backend then uses the sound server's default
    // sink. Given the device (as QAudioOutput does by default once the
    // device list is known), Qt 6.4's GStreamer sink stalls on PulseAudio.
    m_audio = new QAudioOutput(QAudioDevice(), this);
    m_sink = new QVideoSink(this);
    m_player->setAudioOutput(m_audio);
    m_player->setVideoSink(m_sink);
    connect(m_sink, &QVideoSink::videoFrameChanged, this, &VideoDevice::onFrame);

    if (mediaKindOf(file) == MediaKind::Mp3) {
        // An MP3 tune has no pictures: skip the player's probe.
        auto *tune = new DecodedSource(file);
        m_tune.reset(tune);
        if (!tune->waitUntilReady(kOpenTimeoutMs) || m_abandoned) {
            m_tune.reset();
            return m_abandoned ? MciError::DeviceNotReady : MciError::InvalidFile;
        }
        m_opened = true;
        return MciError::None;
    }

    // Wait, without taking user input, for the file to load and then for its
    // first decoded frame: Qt's GStreamer backend gives the size of many
    // AVI and MPEG files only with their frames, and "where" must answer.
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    bool failed = false;
    const auto loaded = [this] {
        const auto s = m_player->mediaStatus();
        return s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferedMedia
               || s == QMediaPlayer::BufferingMedia || s == QMediaPlayer::EndOfMedia;
    };
    connect(m_player, &QMediaPlayer::mediaStatusChanged, &loop, [&, this] {
        if (loaded() || m_player->mediaStatus() == QMediaPlayer::InvalidMedia)
            loop.quit();
    });
    connect(m_player, &QMediaPlayer::errorOccurred, &loop, [&](QMediaPlayer::Error e) {
        if (e != QMediaPlayer::NoError) {
            failed = true;
            loop.quit();
        }
    });
    m_wake = [&loop] { loop.quit(); };
    bound.start(kOpenTimeoutMs);
    m_player->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    if (!loaded() && !failed)
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    if (!m_abandoned && !failed && loaded() && m_player->hasVideo() && !m_gotFrame) {
        m_audio->setMuted(true);
        m_player->play();
        if (!m_gotFrame && !m_abandoned && bound.isActive())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        m_player->pause();
        m_player->setPosition(0);
        m_audio->setMuted(false);
    }
    m_wake = nullptr;
    disconnect(m_player, nullptr, &loop, nullptr);
    if (m_abandoned)
        return MciError::DeviceNotReady;
    if (failed || !loaded())
        return MciError::InvalidFile;
    if (!m_gotFrame && m_player->hasVideo())
        m_source = m_player->metaData().value(QMediaMetaData::Resolution).toSize();
    if (!m_player->hasVideo()) {
        // A tune (an MP3 opened as MPEG video): decoded and played through
        // our own sound output, which starts on time on PulseAudio.
        m_player->stop();
        auto *tune = new DecodedSource(file);
        m_tune.reset(tune);
        const int left = bound.isActive() ? bound.remainingTime() : 0;
        if (!tune->waitUntilReady(qMax(left, 200)) || m_abandoned) {
            m_tune.reset();
            return m_abandoned ? MciError::DeviceNotReady : MciError::InvalidFile;
        }
    }
    m_opened = true;
    return MciError::None;
}

void VideoDevice::abandon()
{
    m_abandoned = true;
    if (m_wake)
        m_wake();
}

void VideoDevice::onFrame(const QVideoFrame &frame)
{
    if (!frame.isValid())
        return;                  // end of stream: the last picture stays
    *m_lastFrame = frame;
    if (!m_gotFrame) {
        m_gotFrame = true;
        m_source = frame.size();
        placeSurface();
        if (m_wake)
            m_wake();
    }
    if (m_surface && m_surface->isVisible())
        m_surface->setImage(frame.toImage());
}

int VideoDevice::setWindow(QWidget *window)
{
    if (!window)
        return MciError::NoWindow;
    m_windowGiven = true;
    attach(window);
    return MciError::None;
}

void VideoDevice::attach(QWidget *window)
{
    detach();
    m_window = window;
    // The viewport covers the window's inner area; the surface inside it is
    // placed at the destination and clipped by it.
    auto *viewport = new QWidget(window);
    viewport->setObjectName(QStringLiteral("mciVideoViewport"));
    viewport->setAttribute(Qt::WA_TransparentForMouseEvents);
    viewport->setGeometry(window->contentsRect());
    m_viewport = viewport;
    m_surface = new VideoSurface(viewport);
    placeSurface();
    window->installEventFilter(this);
    viewport->show();
    viewport->raise();
    m_surface->show();
    if (m_lastFrame->isValid())
        m_surface->setImage(m_lastFrame->toImage());
}

void VideoDevice::detach()
{
    if (m_window)
        m_window->removeEventFilter(this);
    delete m_viewport.data();
    m_window.clear();
}

bool VideoDevice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Resize && m_viewport)
        m_viewport->setGeometry(m_window->contentsRect());
    return false;
}

QRect VideoDevice::destination() const
{
    return m_destination.isNull() ? QRect(QPoint(0, 0), m_source) : m_destination;
}

void VideoDevice::placeSurface()
{
    if (m_surface)
        m_surface->setGeometry(destination());
}

int VideoDevice::capability(const QString &item, QString *reply)
{
    const QString i = item.toLower();
    if (i == QLatin1String("can stretch"))
        *reply = QStringLiteral("true");
    else if (i == QLatin1String("has video"))
        *reply = m_player->hasVideo() ? QStringLiteral("true") : QStringLiteral("false");
    else if (i == QLatin1String("has audio"))
        *reply = m_player->hasAudio() ? QStringLiteral("true") : QStringLiteral("false");
    else
        return MciDevice::capability(item, reply);
    return MciError::None;
}

int VideoDevice::whereSource(QString *reply)
{
    *reply = rectReply(QRect(QPoint(0, 0), m_source));
    return MciError::None;
}

int VideoDevice::whereDestination(QString *reply)
{
    *reply = rectReply(destination());
    return MciError::None;
}

int VideoDevice::putDestination(const QRect &rect)
{
    m_destination = rect;
    placeSurface();
    return MciError::None;
}

int VideoDevice::play()
{
    if (!m_opened)
        return MciError::DeviceNotReady;
    // Played without a window of the caller's: a small window of its own,
    // as the video device does, when there is a screen to show it on.
    if (!m_windowGiven && !m_ownWindow && m_player->hasVideo() && canShowWindows()) {
        auto *own = new QWidget(nullptr, Qt::Window);
        own->setAttribute(Qt::WA_DeleteOnClose);
        own->setWindowTitle(QFileInfo(m_file).fileName());
        own->resize(m_source.isValid() ? m_source : QSize(320, 240));
        m_ownWindow = own;
        attach(own);
        own->show();
    }
    if (!m_player->hasVideo()) {
        if (m_tunePlayer && m_tunePlayer->isPlaying())
            return MciError::None;
        // After the end (or "stop") the tune plays again from its start.
        if (!m_tune)
            m_tune.reset(new DecodedSource(m_file));
        delete m_tunePlayer.data();
        m_tunePlayer = new PcmPlayer(std::move(m_tune), this);
        m_tunePlayer->setBufferMs(300);
        m_tunePlayer->start();
        return MciError::None;
    }
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia)
        m_player->setPosition(0);
    m_player->play();
    return MciError::None;
}

int VideoDevice::stop()
{
    if (m_tunePlayer)
        m_tunePlayer->stop();
    m_player->pause();
    return MciError::None;
}

QString VideoDevice::mode() const
{
    if (!m_opened)
        return QStringLiteral("not ready");
    // Opening leaves the player paused on its first frame; to the caller
    // that is a device that has not started yet: "stopped".
    const bool playing = m_player->playbackState() == QMediaPlayer::PlayingState
                         || (m_tunePlayer && m_tunePlayer->isPlaying());
    return playing ? QStringLiteral("playing") : QStringLiteral("stopped");
}
