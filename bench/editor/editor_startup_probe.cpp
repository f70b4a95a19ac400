// The editor's start exactly as ardeno-creator does it, ending at the first paint.
#include "EditorLogic.h"
#include "FirstPaint.h"
#include "Platform.h"
#include "QtFileDialogService.h"
#include "QtMessageService.h"
#include "Startup.h"
#include "ToolsHelpMenus.h"
#include "frmCreate.h"

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
