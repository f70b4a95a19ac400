#pragma once
// Every file the program writes goes through here: the bytes go to a
// temporary name in the target folder, and the target appears (or is
// replaced) only when every byte was written and flushed. A full disk, a
// vanished folder, a missing permission or a file-size limit therefore leaves
// the previous file (or none) and the system's reason, never a short file
// that reports success.

#include <QByteArray>
#include <QString>

class QFile;

namespace CheckedFile {
// Writes bytes to path. On failure returns false and puts the system's
// reason (e.g. "No space left on device") into *reason.
bool write(const QString &path, const QByteArray &bytes, QString *reason = nullptr);

// Copies the regular file at from to path the same way: the copy appears
// whole or not at all, and gets at most the source's permission bits (a file
// only its owner may read stays so).
bool copy(const QString &from, const QString &path, QString *reason = nullptr);
// The same from a file already opened for reading, from its start.
bool copy(QFile &from, const QString &path, QString *reason = nullptr);
}
