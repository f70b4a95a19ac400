// AVI maker throughput. 300 frames of 640x480x24 BMP files:
//  - uncompressed AVI against `cat` of the same files into one file on the
//    same disk (goal: at least 0.7x its throughput);
//  - Motion JPEG against `ffmpeg -i %03d.bmp -c:v mjpeg` (goal: at least
//    1.0x its frames per second).
// Each figure is the best of a few runs with warm caches. Prints figures,
// never fails on them. BENCH_FRAMES overrides the frame count.

#include "avimaker/AviMaker.h"
#include "avimaker/AviRiffWriter.h"
#include "avimaker/cDIB.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdio>
#include <functional>

namespace {
constexpr int kWidth = 640, kHeight = 480, kRuns = 3;

class BenchView : public AviMakerView {
public:
    std::uint32_t codec = 0;
    void selectEntry(int) override {}
    bool chooseOptions(const cDIB &, AVICOMPRESSOPTIONS &o) override
    {
        o.fccHandler = codec;
        o.dwQuality = 0xFFFFFFFFu;   // the encoder's default quality
        return true;
    }
    void frameWritten(int, const QString &) override {}
    void setStatus(const QString &) override {}
};

QByteArray makeFrame(int n)
{
    const int stride = kWidth * 3;
    QByteArray b(54 + stride * kHeight, '\0');
    auto *p = reinterpret_cast<uchar *>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(b.size()), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(kWidth, p + 18);
    qToLittleEndian<qint32>(kHeight, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    qToLittleEndian<quint32>(quint32(stride * kHeight), p + 34);
    // A moving picture with smooth areas and edges, like a slideshow frame.
    for (int y = 0; y < kHeight; ++y) {
        uchar *row = p + 54 + y * stride;
        for (int x = 0; x < kWidth; ++x) {
            const bool box = ((x + n * 4) / 80 + y / 60) % 2;
            row[x * 3 + 0] = uchar(box ? 200 : (x + n) & 0xFF);
            row[x * 3 + 1] = uchar((y * 2 + n * 3) & 0xFF);
            row[x * 3 + 2] = uchar(box ? (x ^ y) & 0xFF : 90);
        }
    }
    return b;
}

double bestSeconds(const std::function<bool()> &run)
{
    double best = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        if (!run())
            return -1;
        best = qMin(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

bool shell(const QString &dir, const QString &program, const QStringList &args)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(program, args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int frames = qEnvironmentVariableIsSet("BENCH_FRAMES")
                           ? qEnvironmentVariableIntValue("BENCH_FRAMES") : 300;
    // The files live beside the build: the same disk for every contender.
    const QString base = qEnvironmentVariableIsSet("ARDENO_BUILD")
                             ? qEnvironmentVariable("ARDENO_BUILD") : QDir::currentPath();
    QTemporaryDir dir(base + "/bench-avimaker-XXXXXX");
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a work folder in %s\n", qPrintable(base));
        return 1;
    }
    QStringList files;
    qint64 bytes = 0;
    for (int i = 0; i < frames; ++i) {
        const QString name = QString("%1.bmp").arg(i, 3, 10, QChar('0'));
        QFile f(dir.filePath(name));
        const QByteArray frame = makeFrame(i);
        if (!f.open(QIODevice::WriteOnly) || f.write(frame) != frame.size())
            return 1;
        files << f.fileName();
        bytes += frame.size();
    }
    std::printf("%d frames of %dx%dx24, %.1f MB of BMP files in %s\n", frames, kWidth, kHeight,
                bytes / 1e6, qPrintable(dir.path()));

    // Uncompressed against cat, and against cat with fdatasync of what it
    // wrote (`sync --data`): our writer syncs its file before it shows it,
    // so that is the same durability.
    const double cat = bestSeconds([&] {
        return shell(dir.path(), "sh", {"-c", "cat [0-9]*.bmp > cat.out"});
    });
    const double catSynced = bestSeconds([&] {
        return shell(dir.path(), "sh", {"-c", "cat [0-9]*.bmp > cat.out && sync --data cat.out"});
    });
    BenchView raw;
    const double ours = bestSeconds([&] {
        return writeAviFromList(dir.filePath("raw.avi"), files, "25", raw).finished;
    });
    QFile::remove(dir.filePath("cat.out"));
    QFile::remove(dir.filePath("raw.avi"));
    if (cat > 0 && ours > 0)
        std::printf("uncompressed: ours %.0f MB/s, cat %.0f MB/s: %.2fx (goal >= 0.70x)\n",
                    bytes / 1e6 / ours, bytes / 1e6 / cat, cat / ours);
    if (catSynced > 0 && ours > 0)
        std::printf("uncompressed: ours %.0f MB/s, cat with fdatasync %.0f MB/s: %.2fx (the same durability; "
                    "goal >= 0.90x)\n",
                    bytes / 1e6 / ours, bytes / 1e6 / catSynced, catSynced / ours);

    // Motion JPEG against ffmpeg.
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    BenchView mjpeg;
    mjpeg.codec = makeFourCC("MJPG");
    const double oursMjpeg = bestSeconds([&] {
        return writeAviFromList(dir.filePath("mjpeg.avi"), files, "25", mjpeg).finished;
    });
    if (ffmpeg.isEmpty()) {
        std::printf("motion jpeg: ours %.1f fps; ffmpeg not installed, no comparison\n",
                    frames / oursMjpeg);
        return 0;
    }
    const double theirs = bestSeconds([&] {
        return shell(dir.path(), ffmpeg, {"-y", "-v", "error", "-framerate", "25", "-i", "%03d.bmp",
                                          "-c:v", "mjpeg", "ffmpeg.avi"});
    });
    if (oursMjpeg > 0 && theirs > 0)
        std::printf("motion jpeg: ours %.1f fps (%.1f MB), ffmpeg %.1f fps (%.1f MB): %.2fx "
                    "(goal >= 1.00x)\n",
                    frames / oursMjpeg, QFileInfo(dir.filePath("mjpeg.avi")).size() / 1e6,
                    frames / theirs, QFileInfo(dir.filePath("ffmpeg.avi")).size() / 1e6,
                    theirs / oursMjpeg);
    return 0;
}
