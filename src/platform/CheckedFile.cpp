#include "platform/CheckedFile.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>

namespace {
// The device's reason, or the system's for the last call when Qt has none
// of its own (QSaveFile says "Unknown error" after some short writes).
QString reasonOf(const QFileDevice &file, int savedErrno)
{
    const QString text = file.errorString();
    if (!text.isEmpty() && text != QLatin1String("Unknown error"))
        return text;
    return savedErrno ? qt_error_string(savedErrno) : QStringLiteral("the file could not be written");
}

bool fail(QSaveFile &out, QString *reason, int savedErrno)
{
    if (reason)
        *reason = reasonOf(out, savedErrno);
    out.cancelWriting();
    out.commit();   // removes the temporary file
    return false;
}

// Writes one piece; false when it did not all go out.
bool put(QSaveFile &out, const char *data, qint64 size)
{
    return out.write(data, size) == size;
}

bool finish(QSaveFile &out, qint64 expected, QString *reason)
{
    // commit() alone does not notice a short write that was buffered: the
    // bytes are flushed and counted before the target is replaced.
    errno = 0;
    if (!out.flush() || out.size() != expected)
        return fail(out, reason, errno);
    if (!out.commit()) {
        if (reason)
            *reason = reasonOf(out, errno);
        return false;
    }
    return true;
}
}

namespace CheckedFile {
bool write(const QString &path, const QByteArray &bytes, QString *reason)
{
    QSaveFile out(path);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly)) {
        if (reason)
            *reason = reasonOf(out, errno);
        return false;
    }
    errno = 0;
    if (!put(out, bytes.constData(), bytes.size()))
        return fail(out, reason, errno);
    return finish(out, bytes.size(), reason);
}

bool copy(const QString &from, const QString &path, QString *reason)
{
    QFile in(from);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = reasonOf(in, errno);
        return false;
    }
    QSaveFile out(path);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly)) {
        if (reason)
            *reason = reasonOf(out, errno);
        return false;
    }
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        errno = 0;
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0) {
            if (reason)
                *reason = reasonOf(in, errno);
            out.cancelWriting();
            out.commit();
            return false;
        }
        if (n == 0)
            break;
        errno = 0;
        if (!put(out, chunk.constData(), n))
            return fail(out, reason, errno);
        total += n;
    }
    return finish(out, total, reason);
}
}
