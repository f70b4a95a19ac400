// ardeno-creator [PATH]: the editor, optionally opening a test or a score log.
// ardeno-creator --help: what it takes, printed, no window.

#include "platform/Platform.h"
#include "dialogs/QtFileDialogService.h"
#include "dialogs/QtMessageService.h"
#include "app/RecoveryKeeper.h"
#include "app/Startup.h"
#include "app/toolshelp/ToolsHelpMenus.h"
#include "app/frmCreate.h"
#include "webquiz/WebQuizFormat.h"
#include "widgets/FocusRing.h"
#include "widgets/WindowFont.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {
const char kUsage[] =
    "Usage: ardeno-creator [TEST.ard | SCORES.log | RESULTS_FOLDER]\n"
    "       ardeno-creator --live TEST.ard\n"
    "       ardeno-creator --help\n"
    "\n"
    "Opens the Ardeno Test Creator editor: empty, on a test, or the score-log\n"
    "viewer or Class Results for a log or a folder of results. --live opens the\n"
    "test and starts its live class. The same work without a window, and more:\n"
    "ardeno-tool --help.\n";
}

int main(int argc, char *argv[])
{
    // Asked for before any window or display is needed.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ardenox"));
    QApplication::setApplicationDisplayName(QString());
    QtMessageService messages;
    QtFileDialogService dialogs;
    Platform::setMessages(&messages);
    Platform::setFileDialogs(&dialogs);
    installHelpKey(app);
    WindowFont::useForProgram();
    FocusRing::useForProgram();
    WebQuizFormat::registerFormat();

    const QStringList arguments = QApplication::arguments().mid(1);
    frmCreate editor;
    RecoveryKeeper recovery(&editor);
    runStartupWith(editor, arguments, [&recovery] { return recovery.offerAbandoned(); });
    // Asked to end while the start-up offer was open: the window is not
    // shown again, and what was not answered stays offered.
    const int rc = recovery.isEnding() ? 0 : app.exec();
    Platform::setMessages(nullptr);
    Platform::setFileDialogs(nullptr);
    return rc;
}
