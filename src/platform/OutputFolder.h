#pragma once
// The folder an output goes into, opened once. Every file the program makes
// there is created relative to that one handle, so a folder renamed or
// swapped for a link after it was chosen takes nothing of ours:
//
// - a new file is created exclusively and never through a link: a name held
//   by any entry at all (a dangling link someone planted, a pipe, a folder)
//   is taken, and the creation fails with "File exists";
// - a file is replaced by writing a temporary file beside it and renaming it
//   over the name, so a link at that name is itself replaced, never written
//   through.
//
// Every reason given is the system's ("Permission denied") or a sentence
// part naming no file; the callers put the name in front.

#include "platform/OpenFile.h"

#include <QString>
#include <QStringList>
#include <memory>

class OutputFolder;
// One output folder shared by every writer of one operation (an export's
// file and the media beside it): opened once, so a folder swapped for a
// link halfway takes none of the later files elsewhere.
using OutputFolderPtr = std::shared_ptr<const OutputFolder>;

class OutputFolder {
public:
    static OutputFolderPtr open(const QString &path) { return std::make_shared<const OutputFolder>(path); }
    // A folder the file layer opened and judged on its handle already; the
    // handle is the OutputFolder's now.
    static OutputFolderPtr adopt(int fd, const QString &path);

    // What an entry of the folder is, looked at without following a link.
    enum class Entry { None, File, Link, Other };

    // Opens the folder at `path` (a link on the way to it is followed: the
    // teacher chose that folder).
    explicit OutputFolder(const QString &path);
    ~OutputFolder();
    OutputFolder(const OutputFolder &) = delete;
    OutputFolder &operator=(const OutputFolder &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }

    Entry entry(const QString &name) const;
    // Why a file at `name` may not be replaced: "" when nothing is there, it
    // is a regular file, or a link that leads to one or to nothing (the
    // link itself is replaced); else "not a regular file (a device)" and
    // the like. Nothing is opened: opening a device may already do something.
    QString replaceProblem(const QString &name) const;
    // Why an output may not be made at `name` of this folder at all: the
    // folder could not be opened, the name is that of a folder (or none), or
    // replaceProblem(); "" when it may.
    QString outputProblem(const QString &name) const;

    // Creates `name` anew for writing (mode before the umask); -1 with the
    // reason when any entry holds the name or the folder refuses it.
    int createNew(const QString &name, int mode, QString *reason) const;
    // Creates a new hidden temporary file beside `name` for writing; -1 with
    // the reason. *tempName is its name in the folder.
    int createTemporary(const QString &name, int mode, QString *tempName, QString *reason) const;

    // Renames the entry `from` to `to`, replacing what `to` names (a link
    // there is replaced itself). With `keepExisting`, an entry at `to`
    // makes it fail with "File exists" instead.
    bool rename(const QString &from, const QString &to, bool keepExisting, QString *reason) const;
    bool remove(const QString &name) const;
    // Opens `name` for reading and appending, creating it owner-only when
    // it is missing: only a regular file of this user, never through a link
    // (a journal the program keeps going across runs). -1 with the reason.
    int openOwnFile(const QString &name, QString *reason) const;
    // The names of the folder's entries, "." and ".." left out.
    QStringList names() const;
    // The bytes of the regular file at `name` (never through a link, never a
    // pipe or a device), at most `maxBytes` of them; empty when there is
    // none or it cannot be read.
    QByteArray readSmall(const QString &name, qint64 maxBytes) const;
    // The regular file at `name` opened for reading (never through a link,
    // never a pipe or a device); null when there is none.
    OpenFilePtr openEntry(const QString &name) const;
    // Makes the folder's entries (new names, renames) survive a crash.
    bool sync() const;
    // The permission bits of the regular file at `name` (no link followed);
    // -1 when there is none.
    int permissionsOf(const QString &name) const;

    // Writes all of `size` bytes to the open file `fd`, going on after an
    // interrupted or partial write; false when the system refuses (errno
    // says why).
    static bool writeAll(int fd, const char *data, qint64 size);

    // Whether `name` stays an entry of this folder: no separator, not "."
    // or "..", not empty.
    static bool isPlainName(const QString &name);
    // The longest start of `text` within `bytes` bytes of UTF-8, never
    // cutting a character in two: how much of a text a file name can hold.
    static QString cutToBytes(const QString &text, qsizetype bytes);

private:
    OutputFolder(int fd, const QString &path);
    int m_fd = -1;
    QString m_path;
    QString m_error;
};
