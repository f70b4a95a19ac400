#pragma once
// A regular file from outside, opened once (RegularFile's rules: never a
// pipe, a device or a folder) and then read only through that handle, by
// every reader that needs it: a check of its content, a conversion, a copy,
// a page or a package. Swapping the name for another file (a link to a
// private key) after the file was admitted changes nothing of what is read.

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <memory>

class QIODevice;

class OpenFile {
public:
    // The file at `path`, opened; null with the reason when it is not a
    // regular file or cannot be opened.
    static std::shared_ptr<const OpenFile> open(const QString &path, QString *reason);
    // A regular file already opened and checked by the file layer (a file
    // opened beneath a folder's handle); the handle is the OpenFile's now.
    static std::shared_ptr<const OpenFile> adopt(int fd, const QString &name);
    ~OpenFile();
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    // The name it was opened by, for messages.
    QString name() const { return m_name; }
    qint64 size() const;
    QFileDevice::Permissions permissions() const;
    // Whether only its owner may read it.
    bool isPrivate() const;
    // Whether `other` is this very file, not a copy of it.
    bool isSameFile(const OpenFile &other) const;

    // `length` bytes from `offset` (fewer at the end); empty on a failure.
    QByteArray read(qint64 offset, qint64 length) const;
    // The whole file, refused (empty, with the reason) above `limit`.
    QByteArray readAll(qint64 limit, QString *reason) const;
    // A new reader of the same open file from its start, with a position
    // of its own.
    std::unique_ptr<QIODevice> reader() const;
    // The name by which a library that opens files itself (a decoder)
    // reaches this very file ("/proc/self/fd/N" on Linux).
    QString handlePath() const;
    int handle() const { return m_fd; }

private:
    OpenFile(int fd, const QString &name) : m_fd(fd), m_name(name) {}
    int m_fd;
    QString m_name;
};

using OpenFilePtr = std::shared_ptr<const OpenFile>;
