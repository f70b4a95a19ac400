#pragma once
// The live class's journal: every join, answer and finished result as one
// line of JSON appended to a file in the results folder. A line is durable
// (on the disk, synced) before the student's page is told it arrived, so a
// crash, a power cut or `kill -9` loses nothing a page was told of; the
// journal read back at the next start puts the class exactly where it was.
//
// Many students answer at the same moment: their lines are gathered and
// synced together (one sync for all that arrived while the last one ran),
// so the disk's sync time is paid once per group, not once per answer.

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

class OutputFolder;

class LiveJournal {
public:
    static const QString FileName;
    // A class of 1,000 students answering 100 questions takes some 10 MB.
    static constexpr qint64 MaxBytes = 256LL * 1024 * 1024;

    LiveJournal() = default;
    ~LiveJournal();
    LiveJournal(const LiveJournal &) = delete;
    LiveJournal &operator=(const LiveJournal &) = delete;

    // Opens the journal of `folder` (made owner-only when missing, never
    // through a link) and reads the entries it holds. A last line cut short
    // by a crash, or a damaged one, is left out.
    bool open(const OutputFolder &folder, QList<QJsonObject> *entries, QString *reason);

    // Holds the journal for this class alone while it is open: false when
    // another class (another program, or another window) holds it.
    bool holdExclusively();

    // Queues an entry; the number returned is waited for with waitDurable().
    qint64 add(const QJsonObject &entry);
    // Blocks until entry `seq` (and every one before it) is on the disk;
    // false when the disk refused (full, gone).
    bool waitDurable(qint64 seq);
    bool failed() const;
    // The system's reason the disk refused ("No space left on device"); ""
    // while nothing failed.
    QString failure() const;

private:
    int m_fd = -1;
    mutable QMutex m_mutex;
    QWaitCondition m_synced;
    QByteArray m_pending;
    qint64 m_added = 0;
    qint64 m_durable = 0;
    bool m_writing = false;
    bool m_failed = false;
    QString m_failure;
};
