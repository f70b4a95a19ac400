// Preloaded (LD_PRELOAD) into a Qt program the benchmark starts, so that the
// real ardeno-creator is measured as it is installed, without benchmark code
// of its own. At the first paint of a top-level window it:
//   ARDENO_BENCH_T0 set (a monotonic clock reading in ns, taken just before
//   the program was started): prints the milliseconds since then;
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

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = event->type() == QEvent::Paint ? qobject_cast<QWidget *>(watched) : nullptr;
        if (m_seen || !widget || !widget->isWindow())
            return false;
        m_seen = true;
        // Let the window paint, then stop the clock.
        QCoreApplication::sendEvent(widget, event);
        const QByteArray idle = qgetenv("ARDENO_BENCH_IDLE_MS");
        if (!idle.isEmpty()) {
            QTimer::singleShot(idle.toInt(), &printPeakMemory);
            return true;
        }
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long t0 = std::atoll(qgetenv("ARDENO_BENCH_T0").constData());
        std::printf("%.3f\n", (now.tv_sec * 1000000000LL + now.tv_nsec - t0) / 1e6);
        std::fflush(stdout);
        _exit(0);
    }

private:
    bool m_seen = false;
};

void watch()
{
    QCoreApplication::instance()->installEventFilter(new FirstPaint);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watch)
