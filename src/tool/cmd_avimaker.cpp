// ardeno-tool commands of the AVI maker:
//   bmpinfo FILE.bmp     the bitmap's header fields as one JSON object
//   avi OUT.avi --fps TEXT [--codec NAME] [--quality 0-100] [--keyframes N]
//       [--kbps N] BMP...
//                        the AVI maker's write without its window
// The frame rate text is read as the window reads its "Frames Per Second"
// box. Bitmaps of another size or colour depth than the first are skipped
// with the window's message on stderr.

#include "tool/ToolCommand.h"

#include "avimaker/AviMaker.h"
#include "avimaker/FrameEncoder.h"
#include "avimaker/cDIB.h"

#include <cstdio>

namespace {
void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int bmpinfo(const QStringList &args)
{
    if (args.size() != 1)
        return toolUsageError();
    cDIB dib;
    if (!dib.CreateFromFile(args.first()))
        return 1;   // the reader's message went to stderr
    const std::pair<const char *, std::int32_t> fields[] = {
        {"BitCount", dib.BitCount()}, {"Height", dib.Height()}, {"Width", dib.Width()},
        {"Compression", dib.Compression()}, {"SizeInfoHeader", dib.SizeInfoHeader()},
        {"SizeImage", dib.SizeImage()}, {"Planes", dib.Planes()},
        {"ClrImportant", dib.ClrImportant()}, {"ClrUsed", dib.ClrUsed()}, {"XPPM", dib.XPPM()},
        {"YPPM", dib.YPPM()}, {"FileType", dib.FileType()},
        {"SizeFileHeader", dib.SizeFileHeader()}, {"BitOffset", dib.BitOffset()},
        {"SizeBitmapInfo", dib.SizeBitmapInfo()},
    };
    QByteArray json = "{";
    for (const auto &f : fields) {
        if (json.size() > 1)
            json += ", ";
        json += '"' + QByteArray(f.first) + "\": " + QByteArray::number(f.second);
    }
    json += "}\n";
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}

// Answers the options dialog with the codec named on the command line and
// reports progress on stdout.
class ToolView : public AviMakerView {
public:
    AVICOMPRESSOPTIONS chosen;
    void selectEntry(int) override {}
    bool chooseOptions(const cDIB &, AVICOMPRESSOPTIONS &options) override
    {
        options = chosen;
        return true;
    }
    void frameWritten(int, const QString &) override {}
    void setStatus(const QString &text) override
    {
        std::printf("%s\n", text.toLocal8Bit().constData());
        std::fflush(stdout);
    }
};

int avi(const QStringList &args)
{
    QString out, fps;
    const VideoCodecInfo *codec = &videoCodecs().front();
    int quality = -1;
    int keyFrames = 0;
    int kbps = 0;
    qint64 riffLimit = 0;
    bool haveFps = false;
    QStringList inputs;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&]() -> QString { return i + 1 < args.size() ? args.at(++i) : QString(); };
        if (a == QLatin1String("--fps")) {
            if (i + 1 >= args.size())
                return toolUsageError();
            fps = value();
            haveFps = true;
        } else if (a == QLatin1String("--codec")) {
            codec = videoCodecByToolName(value());
            if (!codec) {
                printError(QStringLiteral("unknown codec; use none, mjpeg, cinepak, msvideo1, ffv1, "
                                          "mpeg4, huffyuv or zmbv"));
                return 2;
            }
        } else if (a == QLatin1String("--quality")) {
            bool ok = false;
            quality = value().toInt(&ok);
            if (!ok || quality < 0 || quality > 100)
                return toolUsageError();
        } else if (a == QLatin1String("--keyframes") || a == QLatin1String("--kbps")) {
            bool ok = false;
            const int n = value().toInt(&ok);
            if (!ok || n < 1)
                return toolUsageError();
            (a == QLatin1String("--kbps") ? kbps : keyFrames) = n;
        } else if (a == QLatin1String("--riff-limit")) {
            riffLimit = value().toLongLong();
        } else if (out.isEmpty()) {
            out = a;
        } else {
            inputs << a;
        }
    }
    if (out.isEmpty() || !haveFps || inputs.isEmpty())
        return toolUsageError();

    // The same check as the window's Add: unreadable bitmaps and bitmaps of
    // another format do not join the list.
    ReferenceFormat reference;
    QStringList files;
    cDIB first;
    for (const QString &file : inputs) {
        cDIB dib;
        if (!dib.CreateFromFile(file))
            continue;
        if (!reference.accept(dib)) {
            printError(QStringLiteral("Chosen bitmap file is a different format!") + QStringLiteral(" (")
                       + file + QLatin1Char(')'));
            continue;
        }
        if (files.isEmpty())
            first = dib;
        files << file;
    }
    if (files.isEmpty()) {
        printError(QStringLiteral("No bitmap could be added; nothing written."));
        return 1;
    }
    QString why;
    if (codec->id != VideoCodec::None && !encodersAvailable(&why)) {
        printError(QStringLiteral("%1 is not available: the video encoders could not be loaded (%2).")
                       .arg(codec->displayName, why));
        return 1;
    }
    if (codec->id != VideoCodec::None
        && !codecApplies(codec->id, DibLayout::fromBitmapInfo(first.bitmapInfo()))) {
        printError(QStringLiteral("%1 cannot compress these bitmaps.").arg(codec->displayName));
        return 1;
    }

    ToolView view;
    view.chosen.fccType = mmioStringToFOURCC("vids");
    view.chosen.fccHandler = codec->fourcc;
    view.chosen.dwQuality = quality < 0 ? 0xFFFFFFFFu : std::uint32_t(quality * 100);
    view.chosen.dwFlags = AVICOMPRESSF_VALID;
    if (keyFrames > 0) {
        view.chosen.dwFlags |= AVICOMPRESSF_KEYFRAMES;
        view.chosen.dwKeyFrameEvery = std::uint32_t(keyFrames);
    }
    if (kbps > 0) {
        view.chosen.dwFlags |= AVICOMPRESSF_DATARATE;
        view.chosen.dwBytesPerSecond = std::uint32_t(kbps) * 1024;
    }
    const AviWriteResult result = writeAviFromList(out, files, fps, view, riffLimit);
    return result.status == AVIERR_OK && result.framesWritten > 0 ? 0 : 1;
}

ToolCommandRegistration bmpinfoCommand({"bmpinfo", "bmpinfo FILE.bmp", bmpinfo});
ToolCommandRegistration aviCommand(
    {"avi",
     "avi OUT.avi --fps TEXT [--codec none|mjpeg|cinepak|msvideo1|ffv1|mpeg4|huffyuv|zmbv] "
     "[--quality 0-100] [--keyframes N] [--kbps N] BMP...",
     avi});
}
