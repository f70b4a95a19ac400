#pragma once
// The devices behind the command strings: a video device (AVIvideo,
// MPEGvideo; MP3 tunes open as MPEGvideo too) on FFmpeg, and a MIDI
// sequencer on FluidSynth. MciDevices.cpp parses the commands and calls
// these; each returns 0 or an MciError code.

#include "media/MidiSource.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QElapsedTimer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <memory>

class PcmPlayer;
class QTimer;
class VideoPlayback;

class MciDevice : public QObject {
    Q_OBJECT
public:
    virtual int open(const QString &file) = 0;
    virtual int setWindow(QWidget *window);
    virtual int capability(const QString &item, QString *reply);
    virtual int whereSource(QString *reply);
    virtual int whereDestination(QString *reply);
    virtual int putDestination(const QRect &rect);
    virtual int play() = 0;
    virtual int stop() = 0;
    // "not ready", "playing", "paused" or "stopped".
    virtual QString mode() const = 0;
    // Abandons an open still waiting (the device was closed meanwhile).
    virtual void abandon() {}
};

// Paints the frames of a video scaled to its own rectangle (the MCI
// destination); its parent clips it to the picture box.
class VideoSurface : public QWidget {
    Q_OBJECT
public:
    explicit VideoSurface(QWidget *parent);
    void setImage(const QImage &image);
    QImage image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QImage m_image;
};

// Pictures and sound decoded by VideoPlayback; the window thread shows the
// picture due at the playing time, a PcmPlayer plays the sound track.
class VideoDevice : public MciDevice {
    Q_OBJECT
public:
    VideoDevice();
    ~VideoDevice() override;

    int open(const QString &file) override;
    int setWindow(QWidget *window) override;
    int capability(const QString &item, QString *reply) override;
    int whereSource(QString *reply) override;
    int whereDestination(QString *reply) override;
    int putDestination(const QRect &rect) override;
    int play() override;
    int stop() override;
    QString mode() const override;

    // For tests: the surface showing the video, or nullptr.
    VideoSurface *surface() const { return m_surface; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool startPass(QString *error);
    void tick();
    void startSound();
    void stopSound();
    qint64 playingMs() const;
    void attach(QWidget *window);
    void detach();
    void placeSurface();
    QRect destination() const;

    QString m_file;
    std::unique_ptr<VideoPlayback> m_pass;
    QSize m_source;                    // the stream's natural size
    bool m_hasVideo = false;
    bool m_hasSound = false;
    QRect m_destination;               // empty: the default (source size at 0,0)
    bool m_opened = false;
    bool m_playing = false;
    bool m_atEnd = false;              // the pass has been played to its end
    qint64 m_startMs = 0;              // playing time when the clock was started
    QElapsedTimer m_clock;
    QTimer *m_ticker = nullptr;
    QImage m_picture;                  // shown now
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_viewport;      // the window's inner area, clips the video
    QPointer<VideoSurface> m_surface;
    QPointer<QWidget> m_ownWindow;     // when played without a window of the caller
    QPointer<PcmPlayer> m_sound;
    bool m_windowGiven = false;
};

class SequencerDevice : public MciDevice {
    Q_OBJECT
public:
    ~SequencerDevice() override;
    int open(const QString &file) override;
    int capability(const QString &item, QString *reply) override;
    int play() override;
    int stop() override;
    QString mode() const override;

private:
    QString m_file;
    std::unique_ptr<MidiSource> m_ready;   // opened, not yet playing
    QPointer<PcmPlayer> m_player;
};
