// A year of classes: 1,000 result logs of 100 questions each (made by
// scripts/make-class-logs.py) read, analysed and put into the table the
// Class Results window shows, against `cat` of the same files to
// /dev/null, the disk's floor. Goal: at most 1 s and 200 MB. Best of a few
// runs; peak memory of the whole program. Prints figures, never fails on
// them.

#include "classresults/ClassLoader.h"
#include "classresults/ClassResults.h"
#include "classresults/ClassTableModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QProcess make;
    make.start(QStringLiteral("python3"), {QStringLiteral(ARDENO_SCRIPTS "/make-class-logs.py"), dir.path(),
                                           QStringLiteral("--students"), QStringLiteral("1000"),
                                           QStringLiteral("--questions"), QStringLiteral("100")});
    if (!make.waitForFinished(300000) || make.exitCode() != 0) {
        std::fprintf(stderr, "cannot make the logs\n");
        return 1;
    }
    constexpr int kRuns = 5;
    double ours = 1e18;
    int rows = 0;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        ClassResults results;
        for (const ReadFile &f : ClassLoader::readAll(ClassLoader::expand({dir.path()})))
            results.add(f.read, f.path);
        ClassTableModel table;
        table.show(&results, {});
        table.sort(ClassTableModel::Percent, Qt::DescendingOrder);
        rows = table.studentRows();
        ours = std::min(ours, t.nsecsElapsed() / 1e6);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    double cat = 1e18;
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QStringLiteral("cat"), files);
        p.waitForFinished(60000);
        cat = std::min(cat, t.nsecsElapsed() / 1e6);
    }
    std::printf("class results of %d logs of 100 questions: %.1f ms, peak memory %ld MB (goal: 1 s, 200 MB)\n", rows,
                ours, usage.ru_maxrss / 1024);
    std::printf("cat of the same files:                       %.1f ms\n", cat);
    std::printf("ratio: %.2fx cat's time\n", ours / cat);
    return 0;
}
