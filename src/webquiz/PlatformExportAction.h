#pragma once
// File > "Export for Learning Platform...": asks for the pass mark and the
// SCORM version, then for the package's name, makes the package behind a
// progress dialog and reports what went into it.

#include "exchange/QuestionFormat.h"
#include "webquiz/ScormPackage.h"

#include <functional>

class QAction;
class QMenu;

namespace PlatformExportAction {
// Returns true when a package was written.
bool run(const ExportSource &test, const QString &testFile);

// The package written to `path` with these settings.
bool exportTo(const QString &path, const ExportSource &test, const ScormSettings &settings);

// Export As... with the filter of a format made of the quiz page (the web
// quiz, a package of either version): done as that format's own menu item
// does it (a package asks for its pass mark first). False when `format` is
// not one of them, which leaves it to the caller.
bool handlesExportAs(const QString &path, const ExportSource &test, const QuestionFormat &format);

// Puts the item into the File menu right after `after` (Export Web Quiz...).
QAction *addToMenu(QMenu *fileMenu, QAction *after, const std::function<void()> &run);
}
