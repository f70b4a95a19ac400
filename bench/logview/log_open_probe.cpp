// Opens one score log in the viewer as program start does, and prints the
// time until the window has painted and the processor time of the two
// seconds after (the viewer should be idle then).
#include "platform/Platform.h"
#include "dialogs/QtMessageService.h"
#include "logview/frmLog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {
double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: log_open_probe FILE.log\n");
        return 2;
    }
    QtMessageService messages;
    Platform::setMessages(&messages);
    QElapsedTimer timer;
    timer.start();
    frmLog::StartupLog = QString::fromLocal8Bit(argv[1]);
    frmLog *viewer = frmLog::showLog();
    // Painted: all events handled once the window is exposed.
    while (!viewer->isVisible())
        QApplication::processEvents();
    QApplication::processEvents();
    QApplication::processEvents();
    const double openMs = timer.nsecsElapsed() / 1e6;
    const bool large = viewer->showsLargeLog();
    const double cpuBefore = cpuSeconds();
    QTimer::singleShot(2000, &app, &QApplication::quit);
    app.exec();
    const double idleCpu = cpuSeconds() - cpuBefore;
    std::printf("open %.0f ms, processor time in the 2 s after %.2f s (%s view)\n", openMs, idleCpu,
                large ? "large-log" : "text box");
    // Quitting has closed the viewer, which deletes itself on close.
    Platform::setMessages(nullptr);
    return 0;
}
