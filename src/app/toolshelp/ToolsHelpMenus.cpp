#include "ToolsHelpMenus.h"

// Filled in by the Tools and Help work; the editor calls these already.
void installToolsAndHelpMenus(QMenuBar *, QWidget *, std::function<QString()>) {}
void installHelpKey(QApplication &) {}
