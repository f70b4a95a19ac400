#pragma once
// The editor's Tools and Help menus, and F1 for help in every window.

#include <QString>
#include <functional>

class QMenuBar;
class QWidget;
class QApplication;

// Adds "&Tools" and "&Help" after the File menu of the editor's menu bar.
// testFolder gives the folder a file manager should open (may return "").
void installToolsAndHelpMenus(QMenuBar *menuBar, QWidget *editor,
                              std::function<QString()> testFolder = {});

// Makes F1 open the help at its contents in every window of the program.
void installHelpKey(QApplication &app);
