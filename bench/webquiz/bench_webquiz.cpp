// Web quiz export of the sample test (its two videos transcoded, its tune
// synthesised and encoded, its metafile drawn, everything inlined) against
// `ffmpeg` converting the same two videos with the same settings (H.264 at
// the veryfast preset, CRF 23, 4:2:0, index first), in the same run. Goal:
// at most 1.2x ffmpeg's time. Then a test of ten camera photographs (made
// by ffmpeg): the page's size (goal: under 5 MB) and the export's time.
// Last, the sample test written as a learning-platform package against the
// same test written as a web quiz page, both into files (goal: at most
// 1.2x the page's time).
// Best of a few runs; prints figures, never fails on them.

#include "webquiz/WebQuizExporter.h"
#include "webquiz/WebQuizFormat.h"
#include "document/TestFile.h"
#include "exchange/QuestionExport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {
constexpr int kRuns = 5;

double bestMs(const std::function<bool()> &run)
{
    double best = 1e18;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        if (!run())
            return -1;
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString samples = QStringLiteral(ARDENO_SAMPLES "/");
    const TestReadResult test = readTestFile(samples + QStringLiteral("sample.ard"));
    if (!test.test) {
        std::fprintf(stderr, "%s\n", qPrintable(test.error));
        return 1;
    }
    qint64 pageBytes = 0;
    // The first export loads the codec and synthesiser modules; that is
    // part of a real export, so it is timed like the others.
    const double ours = bestMs([&] {
        WebQuizExporter exporter;
        const WebQuizExport r = exporter.exportTest(test.test->title, test.test->teacher, test.test->records, samples);
        pageBytes = r.pageBytes();
        return r.pageBytes() > 0;
    });

    QTemporaryDir dir;
    const double ffmpeg = bestMs([&] {
        for (const char *clip : {"clip.avi", "clip.mpg"}) {
            QProcess p;
            p.start(QStringLiteral("ffmpeg"),
                    {QStringLiteral("-y"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"),
                     samples + QLatin1String(clip), QStringLiteral("-c:v"), QStringLiteral("libx264"),
                     QStringLiteral("-preset"), QStringLiteral("veryfast"), QStringLiteral("-crf"),
                     QStringLiteral("23"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                     QStringLiteral("-movflags"), QStringLiteral("+faststart"),
                     dir.filePath(QLatin1String(clip) + QStringLiteral(".mp4"))});
            if (!p.waitForFinished(120000) || p.exitCode() != 0)
                return false;
        }
        return true;
    });

    std::printf("web quiz export of the sample test: %.1f ms (page %lld KB)\n", ours, pageBytes / 1024);
    if (ffmpeg < 0) {
        std::printf("ffmpeg converting its two videos: not available\n");
        return 0;
    }
    std::printf("ffmpeg converting its two videos:    %.1f ms\n", ffmpeg);
    std::printf("ratio: %.2fx ffmpeg's time (goal: at most 1.2x)\n", ours / ffmpeg);

    // Ten photographs of a phone camera's size and grain.
    QStringList records;
    qint64 photoBytes = 0;
    for (int i = 1; i <= 10; ++i) {
        const QString name = QStringLiteral("photo%1.jpg").arg(i);
        QProcess p;
        p.start(QStringLiteral("ffmpeg"), {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                                           QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                                           QStringLiteral("testsrc2=size=3264x2448:rate=1"), QStringLiteral("-vf"),
                                           QStringLiteral("noise=alls=%1:allf=t").arg(20 + i),
                                           QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-q:v"),
                                           QStringLiteral("3"), dir.filePath(name)});
        if (!p.waitForFinished(120000) || p.exitCode() != 0)
            return 0;
        photoBytes += QFileInfo(dir.filePath(name)).size();
        records << QStringLiteral("t\u00A9Photograph %1\u00A9%2\u00A9 0").arg(i).arg(name);
    }
    qint64 photoPage = 0;
    const double photos = bestMs([&] {
        WebQuizExporter exporter;
        const WebQuizExport r = exporter.exportTest(QStringLiteral("Photos"), QStringLiteral("Class"), records,
                                                    dir.path() + QLatin1Char('/'));
        photoPage = r.pageBytes();
        return photoPage > 0;
    });
    std::printf("web quiz export of ten photographs (%lld KB): %.1f ms, page %lld KB (goal: under 5 MB)\n",
                photoBytes / 1024, photos, photoPage / 1024);

    WebQuizFormat::registerFormat();
    const auto exportAs = [&](const QString &format) {
        ExportRequest request;
        request.path = dir.filePath(QStringLiteral("sample.") + format);
        request.format = QuestionFormatRegistry::instance().byShortName(format);
        request.source = {test.test->title, test.test->teacher, test.test->records, samples};
        return bestMs([&] { return !exportQuestions(request).failed(); });
    };
    const double page = exportAs(QStringLiteral("web"));
    const double package = exportAs(QStringLiteral("scorm12"));
    std::printf("sample test written as a web quiz page:       %.1f ms\n", page);
    std::printf("sample test written as a SCORM 1.2 package:   %.1f ms\n", package);
    std::printf("ratio: %.2fx the page's time (goal: at most 1.2x)\n", package / page);
    return 0;
}
