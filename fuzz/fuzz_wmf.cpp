// libFuzzer target: metafile bytes through the header reader, libwmf's SVG
// conversion and Qt's SVG renderer. Nothing may crash, hang or leak.
// Seeds: fuzz/corpus/fuzz_wmf/ (copies of metafiles from tests/data/pictures).

#include "pictures/WmfReader.h"

#include "FuzzGui.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text in metafiles needs the font database of a GUI application.
    startFuzzGui(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Wmf::Info info = Wmf::readInfo(bytes);
    // Small sizes keep each run fast; the natural size when it is small.
    QSize target(48, 32);
    if (info.ok() && info.pixels.width() <= 256 && info.pixels.height() <= 256)
        target = info.pixels;
    QString error;
    const QImage image = Wmf::render(bytes, target, &error);
    if (image.isNull() == error.isEmpty())
        std::abort();   // a result must be a picture or a reason, never neither
    return 0;
}
