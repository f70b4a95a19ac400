#include "app/Startup.h"

#include "app/EditorLogic.h"
#include "app/frmCreate.h"

#include "logview/frmLog.h"

void runStartup(frmCreate &editor, const QString &commandLine)
{
    editor.show();
    editor.repaint();
    if (commandLine.isEmpty())
        return;
    const QString path = commandLine;   // not unquoted, not split at blanks
    if (EditorLogic::hasExtension(path, QStringLiteral("ard"))) {
        editor.loadFromCommandLine(path);
    } else if (EditorLogic::hasExtension(path, QStringLiteral("log"))) {
        frmLog::StartupLog = path;
        frmLog::showLog(&editor);
    }
}
