// The real ardeno-creator with the sample test against a bare QMainWindow
// program, run in turns: the time from exec to the first paint of the window
// (median of 9; goal at most 1.1x) and the peak resident memory after the
// shown window has idled for two seconds (median of 3; goal at most 1.3x).
// A preloaded library takes the figures (first_paint_preload.cpp). Uses the
// test X server when there is one (ARDENO_TEST_DISPLAY), else the offscreen
// platform.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
// The sample test is named relative to its folder: the editor tells a test by
// the text after the first full stop of the whole path.
const QString SamplesDir = QStringLiteral(ARDENO_SOURCE_DIR "/samples");

// Runs the program once; what the preloaded library printed, or -1.
double runOnce(const QString &program, const QStringList &args, QProcessEnvironment env, int idleMs)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    env.insert("ARDENO_BENCH_T0", QString::number(now.tv_sec * 1000000000LL + now.tv_nsec));
    if (idleMs > 0)
        env.insert("ARDENO_BENCH_IDLE_MS", QString::number(idleMs));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(SamplesDir);
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    bool ok = false;
    const double v = QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble(&ok);
    return ok ? v : -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Medians of `runs` turns of both programs; false when one failed to run.
bool measure(const QString &editor, const QString &bare, const QProcessEnvironment &env, int runs,
             int idleMs, double *editorMedian, double *bareMedian)
{
    std::vector<double> e, b;
    for (int i = 0; i < runs; ++i) {
        const double te = runOnce(editor, {QStringLiteral("sample.ard")}, env, idleMs);
        const double tb = runOnce(bare, {}, env, idleMs);
        if (te < 0 || tb < 0)
            return false;
        e.push_back(te);
        b.push_back(tb);
    }
    *editorMedian = median(e);
    *bareMedian = median(b);
    return true;
}

void report(const QString &what, const char *unit, double editor, double bare, double goal)
{
    std::printf("%s\n", qPrintable(what));
    std::printf("  ardeno-creator with samples/sample.ard: %8.1f %s\n", editor, unit);
    std::printf("  bare QMainWindow program:               %8.1f %s\n", bare, unit);
    std::printf("  ratio: %.2fx (goal <= %.2fx)\n", editor / bare, goal);
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString editor = dir + "/ardeno-creator";
    const QString bare = dir + "/bare_window";

    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString display = env.value("ARDENO_TEST_DISPLAY");
    if (!display.isEmpty()) {
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
    } else {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("LD_PRELOAD", dir + "/libardeno_bench_firstpaint.so");
    const QString where = display.isEmpty() ? QStringLiteral("offscreen") : "X server " + display;

    // One warm-up run each, so both start from a warm file cache.
    runOnce(editor, {QStringLiteral("sample.ard")}, env, 0);
    runOnce(bare, {}, env, 0);
    const int runs = 9;
    double me = 0, mb = 0;
    if (!measure(editor, bare, env, runs, 0, &me, &mb)) {
        std::printf("editor start-up: a program failed to run\n");
        return 1;
    }
    report(QStringLiteral("editor start-up, exec to first paint (%1, median of %2)").arg(where).arg(runs), "ms",
           me, mb, 1.1);

    const int idleRuns = 3;
    if (!measure(editor, bare, env, idleRuns, 2000, &me, &mb)) {
        std::printf("idle memory: a program failed to run\n");
        return 1;
    }
    report(QStringLiteral("peak resident memory after 2 s idle (%1, median of %2)").arg(where).arg(idleRuns),
           "KiB", me, mb, 1.3);
    return 0;
}
