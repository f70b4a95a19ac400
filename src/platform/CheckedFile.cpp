#include "platform/CheckedFile.h"

#include "platform/CheckedFileStream.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <cerrno>

namespace {
bool failed(const CheckedFileStream &out, QString *reason)
{
    if (reason)
        *reason = out.errorString();
    return false;
}
}

namespace CheckedFile {
bool write(const QString &path, const QByteArray &bytes, QString *reason)
{
    CheckedFileStream out(path);
    if (!out.open() || !out.write(bytes) || !out.commit())
        return failed(out, reason);
    return true;
}

bool copy(const QString &from, const QString &path, QString *reason)
{
    QFile in;
    QString why;
    if (!RegularFile::open(in, from, &why)) {
        if (reason)
            *reason = why;
        return false;
    }
    return copy(in, path, reason);
}

bool copy(QFile &in, const QString &path, QString *reason)
{
    CheckedFileStream out(path);
    if (!out.open())
        return failed(out, reason);
    out.limitPermissions(in.permissions());
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        errno = 0;
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0) {
            if (reason)
                *reason = CheckedFileStream::reasonOf(in, errno);
            return false;   // the stream removes its temporary file
        }
        if (n == 0)
            break;
        if (!out.write(chunk.constData(), n))
            return failed(out, reason);
    }
    if (!out.commit())
        return failed(out, reason);
    return true;
}
}
