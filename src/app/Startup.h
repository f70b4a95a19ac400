#pragma once
// The program's start: show the editor, then act on the file the command line
// names: a test (".ard") is loaded into the editor, a score log (".log")
// opens in the log viewer in front of it; anything else just shows the editor.

#include <QString>

class frmCreate;

void runStartup(frmCreate &editor, const QString &commandLine);
