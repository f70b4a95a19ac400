#include "Startup.h"

#include "FileKind.h"
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
    if (hasFileKind(path, QStringLiteral("ard"))) {
        editor.loadFromCommandLine(path);
    } else if (hasFileKind(path, QStringLiteral("log"))) {
#ifdef ARDENO_HAVE_LOGVIEW
        frmLog::StartupLog = path;
        frmLog::showLog(&editor);
#endif
    }
}
