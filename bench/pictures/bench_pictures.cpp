// Thumbnail of a 24-megapixel photograph, the way the editor's media panel
// makes one: read the size from the header, work out the rectangle, decode
// at that size. Compared with ImageMagick's `convert -thumbnail` on the same
// file. Goal: at most half of ImageMagick's time.
//
// The photograph is made here with ImageMagick (it is too large to keep in
// the repository). Prints figures; never fails on a slow result.

#include "pictures/PictureLoader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMs(int runs, const std::function<bool()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!work())
            return -1;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program),
                     p.readAllStandardError().constData());
        return false;
    }
    return true;
}

// The media panel's arithmetic: shrink to fit, proportions kept, never enlarge.
QSize thumbnailSize(QSize picture, QSize box)
{
    if (picture.width() <= box.width() && picture.height() <= box.height())
        return picture;
    const float r = std::min(float(box.width()) / picture.width(), float(box.height()) / picture.height());
    return QSize(int(std::nearbyint(picture.width() * r)), int(std::nearbyint(picture.height() * r)));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QTemporaryDir dir;
    const QString photo = dir.filePath("photo-6000x4000.jpg");
    std::printf("making a 6000x4000 JPEG with ImageMagick...\n");
    std::fflush(stdout);
    if (!run("convert", {"-seed", "7", "-size", "750x500", "plasma:fractal", "-resize", "6000x4000!",
                         "-attenuate", "0.4", "+noise", "Gaussian", "-quality", "90", photo}))
        return 1;

    const QSize box(121, 121);
    const int runs = 5;
    QSize natural;
    const double ours = medianMs(runs, [&] {
        natural = pictureSize(photo);
        const QImage thumb = loadPictureScaled(photo, thumbnailSize(natural, box));
        return !thumb.isNull();
    });
    const double full = medianMs(3, [&] {
        const LoadedPicture p = loadPicture(photo);
        return !p.isNull()
            && !p.image.scaled(thumbnailSize(natural, box), Qt::IgnoreAspectRatio, Qt::SmoothTransformation).isNull();
    });
    const QString out = dir.filePath("thumb.png");
    const double magick = medianMs(3, [&] {
        return run("convert", {photo, "-thumbnail", "121x121", out});
    });
    if (ours < 0 || magick < 0) {
        std::printf("a run failed\n");
        return 1;
    }
    const QSize thumb = thumbnailSize(natural, box);
    std::printf("picture %dx%d -> thumbnail %dx%d in a %dx%d box (median of %d)\n", natural.width(),
                natural.height(), thumb.width(), thumb.height(), box.width(), box.height(), runs);
    std::printf("  loadPictureScaled (DCT-scaled decode): %8.1f ms\n", ours);
    std::printf("  full decode, then smooth scale:        %8.1f ms\n", full);
    std::printf("  convert -thumbnail 121x121:            %8.1f ms\n", magick);
    std::printf("  ratio ours / convert: %.2f (goal <= 0.50) %s\n", ours / magick,
                ours / magick <= 0.5 ? "met" : "NOT MET");

    const QString wmf = QStringLiteral(ARDENO_PICTURES_TEST_DATA "/pictures/shapes.wmf");
    const double metafile = medianMs(runs, [&] { return !loadPicture(wmf).isNull(); });
    std::printf("  metafile shapes.wmf at natural size:   %8.1f ms\n", metafile);
    return 0;
}
