#include "platform/CheckedFile.h"

#include "platform/OpenFile.h"

#include <QIODevice>

namespace {
bool failed(const CheckedFileStream &out, QString *reason)
{
    if (reason)
        *reason = out.errorString();
    return false;
}

bool writeTo(CheckedFileStream &out, const QByteArray &bytes, QString *reason)
{
    if (!out.open() || !out.write(bytes) || !out.commit())
        return failed(out, reason);
    return true;
}

bool copyTo(CheckedFileStream &out, const OpenFile &from, QString *reason)
{
    if (!out.open())
        return failed(out, reason);
    out.limitPermissions(from.permissions());
    const auto in = from.reader();
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in->read(chunk.data(), chunk.size());
        if (n < 0) {
            if (reason)
                *reason = in->errorString();
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

namespace CheckedFile {
bool write(const QString &path, const QByteArray &bytes, QString *reason, Mode mode)
{
    CheckedFileStream out(path, mode);
    return writeTo(out, bytes, reason);
}

bool write(const OutputFolderPtr &folder, const QString &name, const QByteArray &bytes, QString *reason, Mode mode)
{
    CheckedFileStream out(folder, name, mode);
    return writeTo(out, bytes, reason);
}

bool copy(const OpenFile &from, const QString &path, QString *reason, Mode mode)
{
    CheckedFileStream out(path, mode);
    return copyTo(out, from, reason);
}

bool copy(const OpenFile &from, const OutputFolderPtr &folder, const QString &name, QString *reason, Mode mode)
{
    CheckedFileStream out(folder, name, mode);
    return copyTo(out, from, reason);
}
}
