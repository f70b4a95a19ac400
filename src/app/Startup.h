#pragma once
// The program's start: show the editor, then act on the file the command line
// names: a test (".ard") is loaded into the editor, a score log (".log")
// opens in the log viewer in front of it; anything else just shows the editor.
// offerRecovery, when given, runs once the window shows and before the
// command line; when it restores unsaved work, the command line is not used.
// The program's arguments: several result logs, or a folder, open in the
// Class Results window; otherwise they are joined into one command line.

#include <QString>
#include <QStringList>
#include <functional>

class frmCreate;

void runStartup(frmCreate &editor, const QString &commandLine, const std::function<bool()> &offerRecovery = {});
void runStartupWith(frmCreate &editor, const QStringList &arguments, const std::function<bool()> &offerRecovery = {});
