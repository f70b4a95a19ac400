#pragma once
// Turns a question's media file into something every current browser plays
// (only a file the media admission lets travel):
// BMP, JPEG, WAV and MP3 as they are, Windows metafiles drawn to SVG, MIDI
// tunes synthesised and encoded, AVI and MPEG videos transcoded (the last two
// through the codec module, loaded on first use).

#include "platform/OpenFile.h"
#include "webquiz/WebCodec.h"

#include <QSize>
#include <memory>
#include <QString>

struct ConvertedMedia {
    enum class Kind { Picture, Sound, Tune, Video };
    Kind kind = Kind::Picture;
    WebMedia media;
    QSize pictureSize;    // natural size in pixels, pictures only
    // A picture larger than the page ever shows it, made smaller: the size
    // it is stored at and the bytes of the file it came from.
    QSize scaledPixels;
    qint64 sourceBytes = 0;
    bool converted = false;
    // A file that goes into the page as it is: the admitted file itself,
    // held open, not its bytes (media.bytes stays empty); read through this
    // handle only when the page is written.
    OpenFilePtr asItIs;
    // Only its owner may read the file it came from: the page or package
    // that holds it is written so too.
    bool privateSource = false;
    qint64 size() const;
    QString error;        // when the file could not be used
    bool ok() const { return error.isEmpty(); }
};

class WebMediaConverter {
public:
    // The longest a tune is rendered; a longer one is cut there.
    static constexpr int kMaxTuneSeconds = 600;
    // A file the quiz could show at all: larger ones are refused.
    static constexpr qint64 kMaxInputBytes = 512LL * 1024 * 1024;
    // The largest a page shows a picture, in device pixels: twice the
    // picture area of a projector-size page (542 CSS pixels) on a screen of
    // two device pixels to the CSS pixel. Larger pictures are stored at this.
    static constexpr int kLargestShownPixels = 1084;

    // path: an existing media file, whose kind is taken from its extension
    // as everywhere else. Returns the kind None as an error. The file is
    // admitted once on an open handle; every reader (decoders, the page,
    // the package) reads that handle, never the name again.
    ConvertedMedia convert(const QString &path);

private:
    WebCodec *codec(QString *error);
    std::unique_ptr<WebCodec> m_codec;
    bool m_codecTried = false;
    QString m_codecError;
};
