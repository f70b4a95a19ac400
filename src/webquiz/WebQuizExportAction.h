#pragma once
// File > "Export Web Quiz...": asks for the page's name, exports, asks before
// writing a page above 50 MB, writes it without touching an older page
// until it is complete, and reports each media conversion.

#include "exchange/QuestionFormat.h"
#include "platform/FileDialogService.h"

#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;



namespace WebQuizExportAction {
// Returns true when a page was written.
bool run(const ExportSource &test, const QString &testFile);

// The page written to `path` once it is chosen, by both ways to it (this
// menu item, and Export As... with the web page's filter): one question
// about a large page before the work, the work behind a progress dialog,
// one message with what was written. True when a page was written.
bool exportTo(const QString &path, const ExportSource &test);

// Puts File > "Export Web Quiz..." into the menu right after `after`,
// enabled whenever `after` is (a test with questions, none being edited).
QAction *addToMenu(QMenu *fileMenu, QAction *after, const std::function<void()> &run);

// True, after saying so, when there is nothing to export.
bool saidEmpty(const QStringList &records);

// The file an export of the test goes to, asked in a save dialog beside the
// test's file and named after it, `nameTail` added ("europe (SCORM 1.2).zip");
// "" when cancelled.
QString chooseOutput(const QString &title, const FileFilter &filter, const QString &testFile,
                     const QString &nameTail = QString());

// A File menu item right after `after`, enabled whenever `after` is.
QAction *insertMenuItem(QMenu *fileMenu, QAction *after, const QString &text, const QString &name,
                        const std::function<void()> &run);
}
