// Opens one test in the shown editor, as a test named on the command line
// is opened, and prints how long that took until the events it caused were
// handled (the question list filled and sized included).
#include "platform/Platform.h"
#include "dialogs/QtFileDialogService.h"
#include "dialogs/QtMessageService.h"
#include "app/frmCreate.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: test_open_probe FILE.ard\n");
        return 2;
    }
    QtMessageService messages;
    QtFileDialogService dialogs;
    Platform::setMessages(&messages);
    Platform::setFileDialogs(&dialogs);
    {
        frmCreate editor;
        editor.show();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        editor.loadFromCommandLine(QString::fromLocal8Bit(argv[1]));
        QApplication::processEvents();
        std::printf("opened in %.0f ms\n", timer.nsecsElapsed() / 1e6);
    }
    Platform::setMessages(nullptr);
    Platform::setFileDialogs(nullptr);
    return 0;
}
