#pragma once
// The folder of a file that came from outside (a question bank), opened
// once, and the files its contents name, opened beneath it. "Inside the
// bank's folder" is decided on the open folder, step by step, never on a
// path looked at first and opened later: every step is opened with
// O_NOFOLLOW relative to the one before, so a name swapped for a link to a
// private file (or a folder on the way swapped for a link) is refused at the
// open itself, and the file opened is the file every later reader reads.

#include "platform/OpenFile.h"

#include <QString>

class SourceFolder {
public:
    enum class Outcome { Opened, Missing, Outside, Unreadable };
    struct Opening {
        Outcome outcome = Outcome::Missing;
        OpenFilePtr file;
        QString reason;   // Unreadable: the system's, or "a pipe" and the like
    };

    // Opens the folder at `path` (a link on the way to it is followed: the
    // teacher chose that file).
    explicit SourceFolder(const QString &path);
    ~SourceFolder();
    SourceFolder(const SourceFolder &) = delete;
    SourceFolder &operator=(const SourceFolder &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }

    // `relative` ("pics/cat.jpg", "pics\\cat.jpg") opened beneath the
    // folder: Outside for an absolute name, a drive letter, "..", or a link
    // anywhere on the way; Missing when no such entry is there; a regular
    // file only.
    Opening open(const QString &relative) const;

private:
    int m_fd = -1;
    QString m_path;
};
