// The editor's start exactly as ardeno-creator does it, ending at the first paint.
#include "app/EditorLogic.h"
#include "FirstPaint.h"
#include "platform/Platform.h"
#include "dialogs/QtFileDialogService.h"
#include "dialogs/QtMessageService.h"
#include "app/Startup.h"
#include "app/toolshelp/ToolsHelpMenus.h"
#include "app/frmCreate.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ardenox"));
    QtMessageService messages;
    QtFileDialogService dialogs;
    Platform::setMessages(&messages);
    Platform::setFileDialogs(&dialogs);
    installHelpKey(app);
    frmCreate editor;
    QuitOnFirstPaint quit(&editor);
    runStartup(editor, EditorLogic::commandLineText(QApplication::arguments().mid(1)));
    const int rc = app.exec();
    Platform::setMessages(nullptr);
    Platform::setFileDialogs(nullptr);
    return rc;
}
