// Start to shown window: ardeno-creator's start with the sample test against
// a bare QMainWindow program, run in turns; prints the medians and their
// ratio (goal: at most 1.2). Uses the test X server when there is one
// (ARDENO_TEST_DISPLAY), else the offscreen platform.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {
// The sample test is named relative to its folder: the editor tells a test by
// the text after the first full stop of the whole path.
const QString SamplesDir = QStringLiteral(ARDENO_SOURCE_DIR "/samples");

double runOnce(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    // The probe prints the time from this clock reading to its first paint.
    QProcessEnvironment e = env;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    e.insert("ARDENO_BENCH_T0", QString::number(now.tv_sec * 1000000000LL + now.tv_nsec));
    QProcess p;
    p.setProcessEnvironment(e);
    p.setWorkingDirectory(SamplesDir);
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    bool ok = false;
    const double ms = QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble(&ok);
    return ok ? ms : -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString dir = QCoreApplication::applicationDirPath();
    const QString editor = dir + "/editor_startup_probe";
    const QString bare = dir + "/bare_window_probe";
    const QString sample = QStringLiteral("sample.ard");
    const int runs = 9;

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

    // One warm-up run each, so both start from a warm file cache.
    runOnce(editor, {sample}, env);
    runOnce(bare, {}, env);
    std::vector<double> e, b;
    for (int i = 0; i < runs; ++i) {
        const double te = runOnce(editor, {sample}, env);
        const double tb = runOnce(bare, {}, env);
        if (te < 0 || tb < 0) {
            std::printf("editor start-up: a probe failed to run\n");
            return 1;
        }
        e.push_back(te);
        b.push_back(tb);
    }
    const double me = median(e), mb = median(b);
    std::printf("editor start-up to shown window (%s, median of %d)\n",
                display.isEmpty() ? "offscreen" : qPrintable("X server " + display), runs);
    std::printf("  ardeno-creator with samples/sample.ard: %8.1f ms\n", me);
    std::printf("  bare QMainWindow program:               %8.1f ms\n", mb);
    std::printf("  ratio: %.2fx (goal <= 1.20x)\n", me / mb);
    return 0;
}
