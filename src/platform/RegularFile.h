#pragma once
// Opening a file that came from outside (a test, a score log, a picture, a
// sound) for reading. Only a regular file is opened: a FIFO would block the
// reader forever, a device such as /dev/zero never ends, and a socket is not
// a file at all. A symbolic link is followed only when it leads to a regular
// file. The check is made on the opened handle, so the file cannot be
// swapped for something else between the check and the read.
//
// Every reason given is a sentence part naming no file ("not a regular
// file (a pipe)"); the callers put the file's name in front.

#include <QByteArray>
#include <QFileDevice>
#include <QString>

class QFile;

namespace RegularFile {

// Whether a link at the path itself may lead to the file (a file this
// program wrote beside another is never a link: one there is refused).
enum class Links { Follow, Refuse };

// Opens `file` read-only on `path` when that is a regular file. On failure
// the file stays closed and *reason says why (the system's reason when the
// file cannot be opened at all).
bool open(QFile &file, const QString &path, QString *reason, Links links = Links::Follow);

// The same as a bare handle (closed with ::close): -1 with the reason.
int openHandle(const QString &path, QString *reason);
#ifdef Q_OS_UNIX
// The regular file `name` relative to the open folder `folder` (AT_FDCWD:
// the working folder), opened without blocking and checked on its handle,
// as open() does: -1 with the reason for anything else.
int openAt(int folder, const QByteArray &name, QString *reason, Links links = Links::Refuse);
#endif

// Reads the whole of a regular file of at most `maxBytes` bytes. An empty
// result with *reason set on failure (a file above the limit is refused
// without reading it, and *tooLargeFile tells that case from the others); an
// empty file gives an empty result and no reason.
QByteArray read(const QString &path, qint64 maxBytes, QString *reason, bool *tooLargeFile = nullptr,
                Links links = Links::Follow);

// Why a file handed to a library that opens it itself (a media decoder, an
// image reader) must not be: "" for a regular file (or a link to one).
QString problem(const QString &path);


// The reason given for a file that is larger than a reader accepts.
QString tooLarge(qint64 maxBytes);

// "not a regular file (a pipe)" and the like, for the st_mode of an entry
// that is not a regular file.
QString notRegular(unsigned mode);

// A file's permission bits (st_mode & 0777) as Qt names them, and back.
QFileDevice::Permissions permissionsOfMode(unsigned mode);
unsigned modeOfPermissions(QFileDevice::Permissions permissions);

// The name by which a library that opens files by name reaches the open
// handle `fd` itself ("/proc/self/fd/N" on Linux); `fallback` elsewhere.
QString handlePath(int fd, const QString &fallback);

}
