#include "live/LiveJournal.h"

#include "platform/OutputFolder.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#include <unistd.h>
#else
#include <io.h>
#endif

const QString LiveJournal::FileName = QStringLiteral("live-class.journal");

LiveJournal::~LiveJournal()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool LiveJournal::open(const OutputFolder &folder, QList<QJsonObject> *entries, QString *reason)
{
    m_fd = folder.openOwnFile(FileName, reason);
    if (m_fd < 0)
        return false;
    QByteArray bytes;
    char block[64 * 1024];
    qint64 at = 0;
    for (;;) {
        const ssize_t n = ::pread(m_fd, block, sizeof block, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *reason = qt_error_string(errno);
            return false;
        }
        if (n == 0)
            break;
        at += n;
        if (at > MaxBytes) {
            *reason = QStringLiteral("the class's journal is larger than %1 MB").arg(MaxBytes >> 20);
            return false;
        }
        bytes.append(block, n);
    }
    for (const QByteArray &line : bytes.split('\n')) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        if (error.error == QJsonParseError::NoError && doc.isObject())
            entries->append(doc.object());
    }
    // A last line a crash cut short ends here, so the next entry starts a
    // line of its own.
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        m_pending = "\n";
    return true;
}

bool LiveJournal::holdExclusively()
{
#ifdef Q_OS_UNIX
    // A lock of the open file itself: any other open of the journal, in
    // this process too, is refused it, and a crash lets it go.
    return m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
#else
    return m_fd >= 0;
#endif
}

qint64 LiveJournal::add(const QJsonObject &entry)
{
    QMutexLocker lock(&m_mutex);
    m_pending += QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    return ++m_added;
}

bool LiveJournal::waitDurable(qint64 seq)
{
    QMutexLocker lock(&m_mutex);
    while (m_durable < seq && !m_failed) {
        if (m_writing) {
            m_synced.wait(&m_mutex);
            continue;
        }
        // This caller writes and syncs everything queued so far, for itself
        // and for everyone who queued meanwhile.
        m_writing = true;
        const QByteArray bytes = std::exchange(m_pending, QByteArray());
        const qint64 upTo = m_added;
        lock.unlock();
        bool ok = OutputFolder::writeAll(m_fd, bytes.constData(), bytes.size());
#ifdef Q_OS_UNIX
        ok = ok && ::fdatasync(m_fd) == 0;
#else
        ok = ok && ::_commit(m_fd) == 0;
#endif
        const QString why = ok ? QString() : qt_error_string(errno);
        lock.relock();
        m_writing = false;
        if (ok) {
            m_durable = upTo;
        } else {
            m_failed = true;
            m_failure = why;
        }
        m_synced.wakeAll();
    }
    return m_durable >= seq;
}

bool LiveJournal::failed() const
{
    QMutexLocker lock(&m_mutex);
    return m_failed;
}

QString LiveJournal::failure() const
{
    QMutexLocker lock(&m_mutex);
    return m_failure;
}
