#include "app/Startup.h"

#include "app/frmCreate.h"
#include "document/FileKind.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>

#include "app/EditorLogic.h"
#include "live/frmLive.h"
#include "logview/frmClass.h"
#include "logview/frmLog.h"

void runStartup(frmCreate &editor, const QString &commandLine, const std::function<bool()> &offerRecovery)
{
    editor.show();
    // The offer of unsaved work comes over a window that is on screen with
    // its captions drawn, not over an empty frame: the window system is
    // given the moment it needs (a second at most) to show it.
    QElapsedTimer waited;
    waited.start();
    while (editor.windowHandle() && !editor.windowHandle()->isExposed() && waited.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    editor.repaint();
    // Unsaved work from the last run comes first; once restored, it is the
    // test on screen and the command line's test is not opened over it.
    if (offerRecovery && offerRecovery())
        return;
    if (commandLine.isEmpty())
        return;
    const QString path = commandLine;   // not unquoted, not split at blanks
    if (hasFileKind(path, QStringLiteral("ard"))) {
        editor.loadFromCommandLine(path);
    } else if (hasFileKind(path, QStringLiteral("log"))) {
        frmLog::StartupLog = path;
        frmLog::showLog(&editor);
    }
}

void runStartupWith(frmCreate &editor, const QStringList &arguments, const std::function<bool()> &offerRecovery)
{
    // --live TEST.ard: the test opened, and its live class started.
    if (arguments.size() == 2 && arguments.first() == QLatin1String("--live")) {
        runStartup(editor, arguments[1], offerRecovery);
        frmLive::open(arguments[1], &editor);
        return;
    }
    const QStringList results = EditorLogic::classResultsPaths(arguments);
    if (results.isEmpty()) {
        runStartup(editor, EditorLogic::commandLineText(arguments), offerRecovery);
        return;
    }
    runStartup(editor, QString(), offerRecovery);
    frmClass::showResults(results, &editor);
}
