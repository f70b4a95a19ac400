#include "app/Startup.h"

#include "app/frmCreate.h"
#include "document/FileKind.h"

#include "logview/frmLog.h"

void runStartup(frmCreate &editor, const QString &commandLine)
{
    editor.show();
    editor.repaint();
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
