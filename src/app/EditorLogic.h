#pragma once
// Decisions of the editor window that need no widgets: the command line,
// the extension rule and the caption. Kept here so they can be tested without a window.

#include <QString>
#include <QStringList>

namespace EditorLogic {
// The command-line text: the arguments joined by single blanks (so a path
// with blanks works whether or not the shell split it), cut at its first
// CR LF. Not unquoted.
QString commandLineText(const QStringList &arguments);
// The results a command line names for the Class Results window: a folder,
// or two or more names each of a folder or of a file whose name ends in
// ".log"; else none (one log still opens the score log viewer).
QStringList classResultsPaths(const QStringList &arguments);

// "Ardeno Test Creator - " and the file's name without its folder.
// "Ardeno Test Creator - rivers.ard", with " *" after it while the test
// has changes its file lacks.
QString windowCaption(const QString &fileName, bool unsaved = false);
QString windowCaptionForPath(const QString &path);

// "Question #" and the number with its sign position ("Question # 3").
QString questionLabel(int number);

// The recent-files list keeps paths opened with File > Open in lower case.
// On a file system that tells letter cases apart such a path may not name the
// file any more: this finds the existing file whose path equals `path` with
// letter case ignored, folder by folder. Returns path itself when it exists,
// and "" when no match exists.
QString existingPathIgnoringCase(const QString &path);
}
