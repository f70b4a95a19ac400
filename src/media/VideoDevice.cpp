#include "media/MciDevice.h"
#include "media/MciDevices.h"
#include "media/PcmPlayer.h"
#include "media/VideoPlayback.h"
#include "platform/RegularFile.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QPainter>
#include <QTimer>
#include <cstdio>

namespace {
// How often the window thread looks for the picture due: often enough for
// 60 pictures per second.
constexpr int kTickMs = 5;
// How long open() and a new pass wait for the worker's first picture.
constexpr int kFirstPictureWaitMs = 3000;

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

VideoDevice::VideoDevice() = default;

VideoDevice::~VideoDevice()
{
    stopSound();
    m_pass.reset();
    detach();
    delete m_ownWindow.data();
}

bool VideoDevice::startPass(QString *error)
{
    m_pass.reset();
    std::unique_ptr<MediaDecoder> decoder = openMediaDecoder(m_file, true, error);
    if (!decoder)
        return false;
    m_pass = std::make_unique<VideoPlayback>(std::move(decoder));
    m_startMs = 0;
    m_atEnd = false;
    if (m_pass->videoSize().isValid()) {
        // The first picture was decoded while opening: show it at once.
        QImage first;
        if (m_pass->takePicture(0, &first, kFirstPictureWaitMs)) {
            m_picture = first;
            if (m_surface)
                m_surface->setImage(m_picture);
        }
    }
    return true;
}

int VideoDevice::open(const QString &file)
{
    // A pipe or a device behind the name would stall the decoder.
    if (!RegularFile::problem(file).isEmpty())
        return MciError::FileNotFound;
    m_file = file;
    QString why;
    if (!startPass(&why)) {
        std::fprintf(stderr, "%s: cannot be played: %s\n", qPrintable(file), qPrintable(why));
        return why.contains(QLatin1String(".so")) ? MciError::CannotLoadDriver : MciError::InvalidFile;
    }
    m_hasVideo = m_pass->videoSize().isValid();
    m_source = m_hasVideo ? m_pass->videoSize() : QSize(0, 0);      // a tune: "0 0 0 0"
    m_hasSound = m_pass->hasSound();
    m_ticker = new QTimer(this);
    m_ticker->setTimerType(Qt::PreciseTimer);
    m_ticker->setInterval(kTickMs);
    connect(m_ticker, &QTimer::timeout, this, &VideoDevice::tick);
    m_opened = true;
    return MciError::None;
}

qint64 VideoDevice::playingMs() const
{
    return m_startMs + (m_playing ? m_clock.elapsed() : 0);
}

void VideoDevice::tick()
{
    if (!m_playing || !m_pass)
        return;
    QImage picture;
    if (m_pass->takePicture(playingMs(), &picture)) {
        m_picture = picture;
        if (m_surface && m_surface->isVisible())
            m_surface->setImage(m_picture);
    }
    const bool soundDone = !m_sound || m_sound->isFinished();
    if ((!m_hasVideo || m_pass->picturesDone()) && soundDone) {
        // The end: the last picture stays; playing again starts a new pass.
        m_startMs = playingMs();
        m_playing = false;
        m_atEnd = true;
        m_ticker->stop();
        stopSound();
    }
}

void VideoDevice::startSound()
{
    if (!m_hasSound || !m_pass)
        return;
    auto *player = new PcmPlayer(m_pass->soundSource(), this);
    player->setBufferMs(300);
    m_sound = player;
    player->start();
}

void VideoDevice::stopSound()
{
    if (PcmPlayer *p = m_sound.data()) {
        m_sound.clear();
        p->stop();
        p->deleteLater();
    }
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
    if (!m_picture.isNull())
        m_surface->setImage(m_picture);
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
        *reply = m_hasVideo ? QStringLiteral("true") : QStringLiteral("false");
    else if (i == QLatin1String("has audio"))
        *reply = m_hasSound ? QStringLiteral("true") : QStringLiteral("false");
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
    if (m_playing)
        return MciError::None;
    // Played without a window of the caller's: a small window of its own,
    // as the video device does, when there is a screen to show it on.
    if (!m_windowGiven && !m_ownWindow && m_hasVideo && canShowWindows()) {
        auto *own = new QWidget(nullptr, Qt::Window);
        own->setAttribute(Qt::WA_DeleteOnClose);
        own->setWindowTitle(QFileInfo(m_file).fileName());
        own->resize(m_source);
        m_ownWindow = own;
        attach(own);
        own->show();
    }
    if (m_atEnd) {
        // After the end the file plays again from its start.
        QString why;
        if (!startPass(&why))
            return MciError::InvalidFile;
    }
    m_playing = true;
    m_clock.start();
    startSound();
    m_ticker->start();
    tick();
    return MciError::None;
}

int VideoDevice::stop()
{
    if (!m_playing)
        return MciError::None;
    // Stopped, it stays on its picture and goes on from there when played.
    m_startMs = playingMs();
    m_playing = false;
    m_ticker->stop();
    stopSound();
    return MciError::None;
}

QString VideoDevice::mode() const
{
    if (!m_opened)
        return QStringLiteral("not ready");
    return m_playing ? QStringLiteral("playing") : QStringLiteral("stopped");
}
