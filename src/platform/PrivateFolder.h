#pragma once
// A folder that belongs to this user alone (the recovery folder and its
// slots), and the files the program keeps in it. Nothing here ever follows a
// symbolic link: a link, a special file or anything owned by someone else
// inside such a folder is foreign, is left exactly where it is and is only
// reported. Folders are made 0700 and files 0600, and a file is replaced by
// writing a new one beside it and renaming it over the old name, so the old
// name's link (if one was put there) is replaced, never written through.
//
// Every reason given is a sentence part naming no file ("a symbolic link",
// "No space left on device"); the callers put the name in front.

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class OutputFolder;
class QLockFile;

namespace PrivateFolder {

enum class Kind { File, Folder, Foreign };

struct Entry {
    QString name;
    Kind kind = Kind::Foreign;
    QString foreignReason;   // why a Foreign entry is not ours
};

// Why `path` may not be used as a private folder: "" when it is a real
// folder owned by this user that nobody else can write to.
QString unfitness(const QString &path);

// Makes the folder (and missing parents) when it does not exist, 0700; a
// folder that exists must pass unfitness(). Parents are made as usual.
bool make(const QString &path, QString *reason);

// The folder made as make() does, then opened (never through a link) and
// judged on that open handle: of this user, nobody else may write to it,
// made 0700; the handle is the output folder every file of the operation is
// made in. Null with the reason when it may not be used.
std::shared_ptr<const OutputFolder> open(const QString &path, QString *reason);

// The entries of `folder`, "." and ".." left out, examined without
// following links.
std::vector<Entry> list(const QString &folder);

// Reads a regular file of this user at `path`, never through a link; at
// most `limit` bytes.
QByteArray read(const QString &path, qint64 limit, QString *reason);

// Writes `bytes` to a new owner-only file beside `path`, syncs it and
// renames it over `path`.
bool write(const QString &path, const QByteArray &bytes, QString *reason);

// Sets 0600 on a regular file of this user, without following a link.
void makeOwnerOnly(const QString &path);

// Removes a regular file of this user; a link or anything else stays.
bool removeFile(const QString &path);

// Removes the folder when it is empty (never its content).
bool removeEmptyFolder(const QString &path);

// The lock file ("owner.lock") by which one running program holds `folder`.
// It is stale only when its process is gone, never because of its age: an
// editor may hold its folder for days.
extern const QString LockName;
std::unique_ptr<QLockFile> ownerLock(const QString &folder);

// Holds `folder` for this program through its lock, when no running
// program holds it: the lock (and its helper file) is looked at first
// without opening or following it, so a pipe, a link or anything else put
// there under the lock's name makes the folder foreign (*foreign names that
// entry and why) and is never opened: opening a pipe would wait forever,
// reading a link to a device would never end. The lock file is made
// owner-only. Null when the folder is held elsewhere or foreign.
std::unique_ptr<QLockFile> hold(const QString &folder, Entry *foreign = nullptr);

// A name for a new folder of this program's: the time it is made (so names
// sort oldest first) and a random part.
QString newFolderName();

// The name of a temporary file write() leaves only when the program is
// killed in the middle of a write: the folder's owner may remove these.
bool isLeftoverTemporary(const QString &name);

}
