#pragma once
// Where a question's media file is. References are full paths, or bare names
// that belong to the folder of the test they were read from (TestFolder),
// never to the working directory the file dialogs move around. This is the
// one place that rule lives: the media panel, the preview, printing and the
// save's copy step all resolve through it.

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

// The folder a test at path keeps its media in: its absolute folder, ending
// with a separator. What TestFolder is set to when a test is opened or saved.
QString testFolderOf(const QString &testPath);

// The file a media reference names, or "" when it is "none" or names no file:
// a full path as it stands; a bare name (or any relative path) in testFolder,
// or in the working directory for a test that has no folder yet ("").
QString resolve(const QString &reference, const QString &testFolder);

// Where a reference points, whether or not anything is there; "" for
// "none" and an empty reference.
QString pathOf(const QString &reference, const QString &testFolder);
}
