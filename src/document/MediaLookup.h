#pragma once
// Where a question's media file is. References are full paths, or bare names
// that resolve against the process's working directory (which the file
// dialogs leave in the folder last chosen). This is the one place that rule
// lives.

#include <QString>

namespace MediaLookup {
// True when a file (not a folder) exists under the path; a relative path
// resolves against the working directory.
bool fileExists(const QString &path);

// The folder part of a path, up to and including its last '/' or '\'; "" when
// there is none.
QString folderOf(const QString &path);

// The name part of a path, after its last '/' or '\'.
QString nameOf(const QString &path);

// The editor's and the runner's lookup: the reference itself if it is not
// "none" and a file exists there; otherwise testFolder + reference if that
// exists; otherwise "".
QString resolve(const QString &reference, const QString &testFolder);

// Printing looks only at the reference itself.
QString resolveDirect(const QString &reference);
}
