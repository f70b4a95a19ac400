// Moodle XML with large embedded media: import of a 100-question file with
// 100 embedded 1-MB pictures (read, decode, write the pictures beside the
// new test) and export of the same test, against Python's xml.etree parsing
// the same file and base64-decoding its files. Each side runs in a process
// of its own, so its peak memory is its own. Goals: import at most 1.0x the
// reference's time, peak memory under 3x the file's size.

#include "exchange/QuestionExport.h"
#include "exchange/QuestionImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {
constexpr int kQuestions = 100;
constexpr int kPictureBytes = 1024 * 1024;

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A test of 100 questions, each with its own 1-MB picture (incompressible
// bytes behind a JPEG signature), exported to Moodle XML by the program.
QString makeXml(const QString &dir)
{
    QStringList records;
    QRandomGenerator random(13);
    for (int i = 1; i <= kQuestions; ++i) {
        QByteArray picture(kPictureBytes, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32 *>(picture.data()), kPictureBytes / 4);
        picture[0] = char(0xFF), picture[1] = char(0xD8), picture[2] = char(0xFF);   // a JPEG start
        const QString name = QStringLiteral("picture%1.jpg").arg(i);
        QFile f(QDir(dir).filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(picture) != picture.size())
            return QString();
        records << QStringLiteral("m\u00A9Which picture is number %1?\u00A9One\u00A9Two\u00A9Three\u00A9Four\u00A9%2\u00A9 %3")
                       .arg(i).arg(name).arg(i % 4);
    }
    ExportRequest request;
    request.path = QDir(dir).filePath(QStringLiteral("pictures.xml"));
    request.source = {QStringLiteral("Pictures"), QStringLiteral("Bench"), records, dir + QLatin1Char('/')};
    return exportQuestions(request).failed() ? QString() : request.path;
}

// Child mode: one import or export, then "seconds peakKiB" on stdout.
int runChild(const QString &mode, const QString &path, const QString &dir)
{
    QElapsedTimer timer;
    timer.start();
    if (mode == QLatin1String("--import")) {
        ImportRequest request;
        request.path = path;
        request.mediaFolder = dir;
        const ImportOutcome out = importQuestions(request);
        if (out.report.failed() || out.records.size() != kQuestions)
            return 1;
    } else {
        QStringList records;
        for (int i = 1; i <= kQuestions; ++i)
            records << QStringLiteral("m\u00A9Q%1\u00A9a\u00A9b\u00A9c\u00A9d\u00A9picture%1.jpg\u00A9 0").arg(i);
        ExportRequest request;
        request.path = QDir(dir).filePath(QStringLiteral("again.xml"));
        request.source = {QStringLiteral("Pictures"), QStringLiteral("Bench"), records, path + QLatin1Char('/')};
        if (exportQuestions(request).failed())
            return 1;
    }
    std::printf("%.3f %ld\n", timer.nsecsElapsed() / 1e9, peakKiB());
    return 0;
}

struct Figures {
    double seconds = -1;
    long peak = 0;
};

Figures run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return {};
    const QList<QByteArray> parts = p.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() < 2)
        return {};
    return {parts[0].toDouble(), parts[1].toLong()};
}

// The best of three runs: the machine is shared.
Figures best(const QString &program, const QStringList &args)
{
    Figures b;
    for (int i = 0; i < 3; ++i) {
        const Figures f = run(program, args);
        if (f.seconds >= 0 && (b.seconds < 0 || f.seconds < b.seconds))
            b = f;
    }
    return b;
}
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4)
        return runChild(args[1], args[2], args[3]);

    QTemporaryDir dir;
    const QString xml = makeXml(dir.path());
    if (xml.isEmpty()) {
        std::printf("could not write the benchmark file\n");
        return 1;
    }
    const double mb = QFile(xml).size() / 1048576.0;
    std::printf("Moodle XML, %d questions with %d embedded 1-MB pictures: %.1f MB\n", kQuestions, kQuestions, mb);

    const Figures reference = best(QStringLiteral("python3"), {QStringLiteral(ARDENO_BENCH_PY), xml});
    QDir(dir.path()).mkpath(QStringLiteral("in"));
    const Figures imported = best(app.applicationFilePath(), {QStringLiteral("--import"), xml, dir.filePath(QStringLiteral("in"))});
    const Figures exported = best(app.applicationFilePath(), {QStringLiteral("--export"), dir.path(), dir.filePath(QStringLiteral("in"))});
    if (reference.seconds < 0 || imported.seconds < 0 || exported.seconds < 0) {
        std::printf("a run failed (reference %.3f, import %.3f, export %.3f)\n", reference.seconds,
                    imported.seconds, exported.seconds);
        return 1;
    }
    std::printf("  python3 xml.etree + base64:  %6.3f s  peak %6.1f MB\n", reference.seconds, reference.peak / 1024.0);
    std::printf("  import (read, decode, write): %6.3f s  peak %6.1f MB  = %.2fx the time (goal <= 1.0x), "
                "%.2fx the file (goal < 3x)\n", imported.seconds, imported.peak / 1024.0,
                imported.seconds / reference.seconds, imported.peak / 1024.0 / mb);
    std::printf("  export (read media, encode):  %6.3f s  peak %6.1f MB\n", exported.seconds, exported.peak / 1024.0);
    return 0;
}
