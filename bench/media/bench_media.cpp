// How soon a wave sound started with PlayWave "async" is heard, against
// paplay of the same file: the time from the call (or from starting paplay)
// to the first non-silent samples at the test sound server's null sink.
// Goal: at most 1.5 times paplay's. Needs the services of run-bench.sh.
#include "media/WaveOutput.h"
#include "media/modSound.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int kRate = 22050;

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The null sink's monitor, read as it comes; a silent stream keeps the sink
// running so the recording flows evenly.
class Monitor {
public:
    bool start()
    {
        keepAlive.setStandardInputFile("/dev/zero");
        keepAlive.start("pacat", {"-p", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                                  "--latency-msec=20"});
        parec.start("parec", {"-d", "nullsink.monitor", "--format=s16le", "--rate=22050", "--channels=1",
                              "--raw", "--latency-msec=10"});
        if (!parec.waitForStarted(3000))
            return false;
        QObject::connect(&parec, &QProcess::readyReadStandardOutput, [this] { data += parec.readAllStandardOutput(); });
        for (int i = 0; i < 40 && data.size() < kRate / 2; ++i)
            spin(50);
        return data.size() >= kRate / 2;
    }
    void stop()
    {
        parec.terminate();
        keepAlive.terminate();
        parec.waitForFinished(2000);
        keepAlive.waitForFinished(2000);
    }
    qint64 samples() { data += parec.readAllStandardOutput(); return data.size() / 2; }
    // The first sample at or after `from` louder than the threshold, or -1.
    qint64 firstLoud(qint64 from)
    {
        samples();
        const auto *s = reinterpret_cast<const qint16 *>(data.constData());
        for (qint64 i = from; i < data.size() / 2; ++i)
            if (std::abs(int(s[i])) > 1000)
                return i;
        return -1;
    }
    QProcess parec, keepAlive;
    QByteArray data;
};

// Milliseconds from start() to the first sound at the sink, or -1.
double measure(Monitor &m, const std::function<void()> &start)
{
    spin(300);
    const qint64 at = m.samples();
    start();
    for (int i = 0; i < 100; ++i) {
        spin(20);
        const qint64 loud = m.firstLoud(at);
        if (loud >= 0)
            return double(loud - at) * 1000.0 / kRate;
    }
    return -1;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString wav = QStringLiteral(ARDENO_MEDIA_TEST_DATA "/tone.wav");
    if (qEnvironmentVariable("ARDENO_TEST_PULSE") != "1" || QStandardPaths::findExecutable("paplay").isEmpty()) {
        std::printf("bench_media: skipped (no test PulseAudio server or no paplay)\n");
        return 0;
    }
    Monitor m;
    if (!m.start()) {
        m.stop();
        std::printf("bench_media: skipped (the null sink's monitor gives no data)\n");
        return 0;
    }
    const int runs = 7;
    std::vector<double> ours, theirs;
    const double cold = measure(m, [&] { PlayWave(wav, "async"); });
    spin(1200);
    for (int i = 0; i < runs; ++i) {
        ours.push_back(measure(m, [&] { PlayWave(wav, "async"); }));
        spin(1200);
        QProcess paplay;
        theirs.push_back(measure(m, [&] { paplay.start("paplay", {wav}); }));
        paplay.waitForFinished(3000);
        spin(300);
    }
    m.stop();
    const double a = median(ours), b = median(theirs);
    std::printf("PlayWave async to first sound at the sink: %.0f ms (median of %d; first call in the process %.0f ms)\n",
                a, runs, cold);
    std::printf("paplay of the same file:                   %.0f ms (median of %d)\n", b, runs);
    std::printf("ratio %.2f (goal: at most 1.5)\n", b > 0 ? a / b : -1.0);
    return 0;
}
