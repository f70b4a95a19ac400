#pragma once
// Every file the program writes goes through here: the bytes go to a
// temporary name in the target folder, and the target appears (or is
// replaced) only when every byte was written and flushed. A full disk, a
// vanished folder, a missing permission or a file-size limit therefore leaves
// the previous file (or none) and the system's reason, never a short file
// that reports success.

#include "platform/CheckedFileStream.h"

#include <QByteArray>
#include <QString>

class OpenFile;

namespace CheckedFile {
using Mode = CheckedFileStream::Mode;

// Writes bytes to path. On failure returns false and puts the system's
// reason (e.g. "No space left on device") into *reason.
bool write(const QString &path, const QByteArray &bytes, QString *reason = nullptr, Mode mode = Mode::Replace);

// Copies a file already opened for reading, from its start, to path the
// same way: the copy appears whole or not at all, and gets at most the
// source's permission bits (a file only its owner may read stays so). With
// NewOnly, a name held by any entry is never replaced ("File exists").
bool copy(const OpenFile &from, const QString &path, QString *reason = nullptr, Mode mode = Mode::Replace);
// The same, as `name` in a folder the operation opened once.
bool write(const OutputFolderPtr &folder, const QString &name, const QByteArray &bytes, QString *reason = nullptr,
           Mode mode = Mode::Replace);
bool copy(const OpenFile &from, const OutputFolderPtr &folder, const QString &name, QString *reason = nullptr,
          Mode mode = Mode::Replace);
}
