#include "Startup.h"

#include "EditorLogic.h"
#include "frmCreate.h"

#ifdef ARDENO_HAVE_LOGVIEW
#include "frmLog.h"
#endif

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
#ifdef ARDENO_HAVE_LOGVIEW
        frmLog::StartupLog = path;
        frmLog::showLog(&editor);
#endif
    }
}
