// ardeno-creator [PATH]: the editor, optionally opening a test or a score log.

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

int main(int argc, char *argv[])
{
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
