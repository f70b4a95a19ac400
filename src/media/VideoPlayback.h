#pragma once
// One pass through an opened video or tune: a worker thread decodes ahead
// (a few pictures, about two seconds of sound) while the window thread takes
// the picture due at the playing time and the sound output reads the sound.
// A new pass (playing again after the end) takes a new MediaDecoder.

#include "media/MediaDecoder.h"
#include "media/PcmPlayer.h"

#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QWaitCondition>
#include <deque>
#include <memory>
#include <thread>

// Opens `path` in the decoder module; nullptr with the reason in `error`
// (the module missing, or a file it cannot decode).
std::unique_ptr<MediaDecoder> openMediaDecoder(const QString &path, bool withSound, QString *error);

class VideoPlayback {
public:
    explicit VideoPlayback(std::unique_ptr<MediaDecoder> decoder);
    ~VideoPlayback();

    QSize videoSize() const { return m_size; }
    bool hasSound() const { return m_rate > 0; }

    // The latest picture due at `ms` (older ones are skipped); false when
    // none is due yet. Waits at most `waitMs` for the worker to decode one.
    bool takePicture(qint64 ms, QImage *picture, int waitMs = 0);
    // True when every picture has been taken and decoding has ended.
    bool picturesDone() const;

    // The sound track, read as decoded; each call gives a new reader that
    // goes on where the previous one stopped.
    std::unique_ptr<PcmSource> soundSource();

private:
    friend class PlaybackSound;
    struct Picture {
        QImage image;
        qint64 ms;
    };
    void run();
    qint64 readSound(char *buffer, qint64 maxBytes);

    std::unique_ptr<MediaDecoder> m_decoder;
    QSize m_size;
    int m_rate = 0;
    int m_channels = 0;

    mutable QMutex m_mutex;
    QWaitCondition m_changed;
    std::deque<Picture> m_pictures;
    QByteArray m_sound;          // decoded, from m_soundPos on not yet read
    qint64 m_soundPos = 0;
    bool m_ended = false;
    bool m_quit = false;
    std::thread m_worker;
};
