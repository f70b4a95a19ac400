#pragma once
// A file written piece by piece, also out of order (a writer that goes back
// to fill in sizes once it knows them), that appears under its name only
// when it is complete. The bytes go to a temporary file in the target
// folder; commit() flushes them, checks that every write went out whole,
// syncs them to disk and renames the file over the target. The first failed
// write removes the temporary file at once and makes every further call
// fail; its reason is kept. A failure, or a stream dropped without commit(),
// leaves the previous file (or none) and no temporary file.
//
// The folder is opened once and the temporary file created in it
// exclusively, never through a link (see OutputFolder); the rename replaces
// a link at the target's name itself. A stream made with NewOnly never
// replaces anything: a name held by any entry (a dangling link too) makes
// it fail with "File exists".

#include "platform/OutputFolder.h"

#include <QFile>
#include <QString>

class CheckedFileStream {
public:
    enum class Mode { Replace, NewOnly };
    // The folder of `path` opened for this one file.
    explicit CheckedFileStream(const QString &path, Mode mode = Mode::Replace);
    // `name` in a folder the operation opened once for all its files.
    CheckedFileStream(OutputFolderPtr folder, const QString &name, Mode mode = Mode::Replace);
    ~CheckedFileStream();   // without commit(), the temporary file is removed

    CheckedFileStream(const CheckedFileStream &) = delete;
    CheckedFileStream &operator=(const CheckedFileStream &) = delete;

    // Creates the temporary file; false when the folder cannot take it.
    bool open();
    bool isOpen() const { return m_file.isOpen(); }

    // The file will have no permission bit beyond `allowed` (those of the
    // file it is a copy of).
    void limitPermissions(QFileDevice::Permissions allowed);
    // Readable and writable by its owner alone: an output that carries a
    // file only its owner may read is never more open than that file.
    void makeOwnerOnly() { limitPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner); }

    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    bool seek(qint64 pos);
    qint64 pos() const { return m_file.pos(); }

    // Replaces the target with what was written; false (and nothing
    // replaced) when any write, the flush or the rename failed.
    bool commit();
    // Drops what was written; the target stays as it was.
    void discard();

    bool failed() const { return m_failed; }
    // The system's reason for the first failure ("No space left on device").
    QString errorString() const { return m_error; }
    QString fileName() const { return m_path; }

    // The system's reason for the last failure on `file`, or for errno
    // `savedErrno` when the device names none of its own.
    static QString reasonOf(const QFileDevice &file, int savedErrno);

private:
    bool fail(int savedErrno);
    void setMode(int mode);
    void startWriteBack();

    QString m_path;
    QString m_name;        // the target's name in the folder
    Mode m_mode;
    OutputFolderPtr m_folder;
    QString m_temporary;   // the temporary file's name in the folder
    QFile m_file;
    qint64 m_extent = 0;   // the end of the furthest byte written
    qint64 m_writtenBack = 0;   // up to here the disk has been asked to write
    bool m_failed = false;
    QString m_error;
};
