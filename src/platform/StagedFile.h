#pragma once
// The checked write for a writer that opens its output by name (QPrinter
// making a PDF): the writer is given a temporary name in the target folder,
// and the target is replaced, by a rename, only in commit(), once the
// caller has checked what was written. The temporary file has the
// permissions the target will have. A failure, or a staged file dropped
// without commit(), leaves the previous file (or none) and no temporary file.
// The temporary file is made exclusively in the folder opened once, and
// stays open until commit(): the writer is given the open file itself
// ("/proc/self/fd/N" on Linux), so nobody can swap the name under it.

#include "platform/OutputFolder.h"

#include <QString>

class StagedFile {
public:
    explicit StagedFile(const QString &target);
    ~StagedFile();   // without commit(), the temporary file is removed

    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // Creates the empty temporary file; false (with the system's reason)
    // when the folder cannot take it or the target may not be replaced.
    bool create();
    // The temporary file the writer fills; "" before create().
    QString path() const { return m_path; }
    QString target() const { return m_target; }
    // The file will be readable and writable by its owner alone (set before
    // create()): an output made of private files is never more open.
    void makeOwnerOnly() { m_ownerOnly = true; }

    // Syncs the temporary file to disk and renames it over the target.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    // Why the temporary file cannot take more bytes, asked of the system by
    // appending to it ("No space left on device", "File too large"); "" when
    // it can. For a writer that stopped short without saying why.
    QString writeProblem() const;

    // The last `bytes` bytes written so far, read through the open file.
    QByteArray tail(qint64 bytes) const;

    QString errorString() const { return m_error; }

private:
    bool fail(const QString &reason);

    QString m_target;
    QString m_name;        // the target's name in its folder
    OutputFolder m_folder;
    QString m_temporary;   // the temporary file's name in the folder
    int m_fd = -1;
    bool m_ownerOnly = false;
    QString m_path;
    QString m_error;
};
