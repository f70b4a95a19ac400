// Preloaded (LD_PRELOAD) into a Qt program the benchmark starts, so that the
// real ardeno-creator is measured as it is installed, without benchmark code
// of its own. At the first paint of a top-level window it:
//   ARDENO_BENCH_T0 set (a monotonic clock reading in ns, taken just before
//   the program was started): prints the milliseconds from then until the
//   window's last control began to paint in that first pass;
//   ARDENO_BENCH_IDLE_MS set: waits that long with the program idling, then
//   prints its peak resident memory in KiB (VmHWM);
// and ends the process at once, so tearing down is not counted.
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace {

void printPeakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                std::printf("%lld\n", line.mid(6).trimmed().split(' ').first().toLongLong());
    std::fflush(stdout);
    _exit(0);
}

long long nowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = event->type() == QEvent::Paint ? qobject_cast<QWidget *>(watched) : nullptr;
        if (!widget)
            return false;
        // The window paints itself and then each of its controls in the
        // same pass: the clock is read as each paints, and the last reading
        // counts once the pass is over (what runs after it is not start-up).
        m_lastPaint = nowNs();
        if (m_seen || !widget->isWindow())
            return false;
        m_seen = true;
        const QByteArray idle = qgetenv("ARDENO_BENCH_IDLE_MS");
        if (!idle.isEmpty()) {
            QTimer::singleShot(idle.toInt(), &printPeakMemory);
            return false;
        }
        QTimer::singleShot(0, this, [this] {
            const long long t0 = std::atoll(qgetenv("ARDENO_BENCH_T0").constData());
            std::printf("%.3f\n", (m_lastPaint - t0) / 1e6);
            std::fflush(stdout);
            _exit(0);
        });
        return false;
    }

private:
    bool m_seen = false;
    long long m_lastPaint = 0;
};

void watch()
{
    QCoreApplication::instance()->installEventFilter(new FirstPaint);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watch)
