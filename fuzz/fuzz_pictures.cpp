// libFuzzer target: bytes as a picture file through the picture loader the
// windows use (header check, pixel budget, integrity checks, decoding at a
// reduced size), as a thumbnail would load it. The invariant: refused with a
// message or read at the size asked, never a crash, a hang or a memory peak
// above the budget (the run's -rss_limit_mb and -timeout enforce the last two).
// Seeds: fuzz/corpus/fuzz_pictures/ (BMP, JPEG, GIF, PNG and WMF files).

#include "FuzzCheck.h"
#include "FuzzGui.h"
#include "pictures/PictureLimits.h"
#include "pictures/PictureLoader.h"

#include <QFile>
#include <QImage>

#include <cstdint>
#include <unistd.h>

namespace {
QString picturePath()
{
    // The loader reads files: each input is written to one file in memory.
    static const QString path = QStringLiteral("/dev/shm/ardeno-fuzz-picture-%1").arg(getpid());
    return path;
}
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startFuzzGui(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        QFile file(picturePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const PictureInfo info = pictureInfo(picturePath());
    FUZZ_CHECK(info.isValid() == info.error.isEmpty());
    if (!info.isValid())
        return 0;
    FUZZ_CHECK(qint64(info.naturalPixels.width()) * info.naturalPixels.height() <= kPictureBudgetPixels);
    // A thumbnail-sized read, as the editor's picture box asks for it.
    const QSize thumb = info.naturalPixels.scaled(QSize(64, 48), Qt::KeepAspectRatio)
                            .expandedTo(QSize(1, 1));
    QString error;
    const QImage image = loadPictureScaled(picturePath(), thumb, &error);
    FUZZ_CHECK(image.isNull() != error.isEmpty());
    FUZZ_CHECK(image.isNull() || image.size() == thumb);
    return 0;
}
