#pragma once
// At the watched window's first paint: prints the milliseconds since the
// moment the benchmark started this process (ARDENO_BENCH_T0, a monotonic
// clock reading in ns) and ends the process at once, so the time the
// program needs to tear down is not counted.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

class QuitOnFirstPaint : public QObject {
public:
    explicit QuitOnFirstPaint(QWidget *window) : m_window(window) { window->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint) {
            // Let the window paint, then stop the clock.
            m_window->removeEventFilter(this);
            QCoreApplication::sendEvent(m_window, event);
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            const long long t0 = std::atoll(qgetenv("ARDENO_BENCH_T0").constData());
            const long long ns = now.tv_sec * 1000000000LL + now.tv_nsec;
            std::printf("%.3f\n", (ns - t0) / 1e6);
            std::fflush(stdout);
            _exit(0);
        }
        return false;
    }

private:
    QWidget *m_window;
};
