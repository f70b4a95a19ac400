#pragma once
// The boundary between the media player and its decoder module
// (libardeno_mediadecode.so: libavformat, libavcodec, libswscale), loaded by
// the first video or MP3 tune opened so that the editor does not load FFmpeg
// at start-up. The module exports one extern "C" function,
// ardeno_create_media_decoder(version), returning a new decoder or nullptr
// when it was built for another version of this interface. Both sides are
// built from the same sources, so Qt types cross the boundary as they are.
//
// A decoder is used by one thread at a time: opened on the caller's thread,
// then read by the playback's worker thread.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class MediaDecoder {
public:
    enum class Item { Picture, Sound, End, Failed };

    virtual ~MediaDecoder() = default;

    // Opens the file, finds its picture and sound streams and decodes the
    // first picture, so that a file whose pictures cannot be decoded fails
    // here and not later in an empty box. With `withSound` false the sound
    // track is skipped. False with the reason in `error`.
    virtual bool open(const QString &path, bool withSound, QString *error) = 0;

    // The pictures' natural size; invalid when the file has no pictures.
    virtual QSize videoSize() const = 0;
    // Pictures per second as the stream states it (0 when it states none).
    virtual double frameRate() const = 0;
    // The sound track as it is handed out: sample rate (0: no sound track)
    // and channels (1 or 2), interleaved signed 16-bit samples.
    virtual int soundRate() const = 0;
    virtual int soundChannels() const = 0;

    // Decodes on to the next item: a picture (32-bit RGB at its natural
    // size, with the time in milliseconds at which it is shown) or a block
    // of sound samples. The first picture comes first.
    virtual Item next(QImage *picture, qint64 *ms, QByteArray *samples) = 0;
    virtual QString errorString() const = 0;
};

constexpr int kMediaDecoderInterfaceVersion = 1;
using CreateMediaDecoder = MediaDecoder *(*)(int version);
#define ARDENO_MEDIADECODE_MODULE "ardeno_mediadecode"
#define ARDENO_MEDIADECODE_FACTORY "ardeno_create_media_decoder"
