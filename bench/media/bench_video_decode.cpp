// Decoding speed of a 640 x 480 Motion JPEG AVI of 300 pictures through the
// player's path (the decoder module: demuxing, decoding, conversion to the
// 32-bit pictures the box shows) against `ffmpeg -i clip.avi -f null -`.
// Goal: at least 0.9 times ffmpeg's pictures per second. Best of 3 each.
#include "media/VideoPlayback.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kPictures = 300;

// Seconds for the player's path to decode every picture; -1 on failure.
double decodeOurs(const QString &clip, int *pictures)
{
    QElapsedTimer t;
    t.start();
    QString why;
    const std::unique_ptr<MediaDecoder> decoder = openMediaDecoder(clip, false, &why);
    if (!decoder) {
        std::printf("  cannot open the clip: %s\n", qPrintable(why));
        return -1;
    }
    *pictures = 0;
    for (;;) {
        QImage picture;
        qint64 ms = 0;
        QByteArray samples;
        const MediaDecoder::Item item = decoder->next(&picture, &ms, &samples);
        if (item == MediaDecoder::Item::Picture)
            ++*pictures;
        else if (item != MediaDecoder::Item::Sound)
            break;
    }
    return t.nsecsElapsed() / 1e9;
}

double decodeFfmpeg(const QString &clip)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start("ffmpeg", {"-v", "error", "-i", clip, "-f", "null", "-"});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return -1;
    return t.nsecsElapsed() / 1e9;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty()) {
        std::printf("video decoding: ffmpeg is not installed\n");
        return 1;
    }
    QTemporaryDir dir;
    const QString clip = dir.filePath("mjpeg640x480.avi");
    QProcess make;
    make.start("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=640x480:rate=25", "-frames:v",
                          QString::number(kPictures), "-c:v", "mjpeg", "-q:v", "3", clip});
    if (!make.waitForFinished(120000) || make.exitCode() != 0) {
        std::printf("video decoding: ffmpeg could not write the clip\n");
        return 1;
    }
    double ours = 1e9, theirs = 1e9;
    int pictures = 0;
    for (int i = 0; i < 3; ++i) {
        const double o = decodeOurs(clip, &pictures);
        const double f = decodeFfmpeg(clip);
        if (o < 0 || f < 0) {
            std::printf("video decoding: a run failed\n");
            return 1;
        }
        ours = std::min(ours, o);
        theirs = std::min(theirs, f);
    }
    std::printf("decoding a 640x480 Motion JPEG AVI of %d pictures (best of 3)\n", kPictures);
    std::printf("  player's path:          %7.1f pictures/s (%d pictures)\n", pictures / ours, pictures);
    std::printf("  ffmpeg -f null:         %7.1f pictures/s\n", kPictures / theirs);
    std::printf("  ratio: %.2fx (goal >= 0.90x)\n", (pictures / ours) / (kPictures / theirs));
    return 0;
}
