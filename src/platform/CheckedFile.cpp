#include "platform/CheckedFile.h"

#include "platform/OpenFile.h"

#include <QFileInfo>
#include <QIODevice>

namespace {
bool failed(const CheckedFileStream &out, QString *reason)
{
    if (reason)
        *reason = out.errorString();
    return false;
}
}

namespace CheckedFile {
// A single file: its folder opened for this one operation.
bool write(const QString &path, const QByteArray &bytes, QString *reason, Mode mode)
{
    return write(OutputFolder::open(QFileInfo(path).absolutePath()), QFileInfo(path).fileName(), bytes, reason, mode);
}

bool write(const OutputFolderPtr &folder, const QString &name, const QByteArray &bytes, QString *reason, Mode mode)
{
    CheckedFileStream out(folder, name, mode);
    if (!out.open() || !out.write(bytes) || !out.commit())
        return failed(out, reason);
    return true;
}

bool copy(const OpenFile &from, const QString &path, QString *reason, Mode mode)
{
    return copy(from, OutputFolder::open(QFileInfo(path).absolutePath()), QFileInfo(path).fileName(), reason, mode);
}

bool copy(const OpenFile &from, const OutputFolderPtr &folder, const QString &name, QString *reason, Mode mode)
{
    CheckedFileStream out(folder, name, mode);
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
