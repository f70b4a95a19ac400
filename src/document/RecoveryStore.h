#pragma once
// The recovery folder: one slot (a sub-folder) per running editor, held by a
// lock file while its editor runs, so only the copies of editors that have
// ended are ever offered. Folder 0700, files 0600: a copy may hold a
// teacher's unpublished test. Every write replaces the copy atomically.
//
// Nothing here follows a link or removes what it did not write: a link,
// special file or other user's file anywhere in the folder is foreign, stays
// where it is and is reported; a recovery folder that is itself a link, not
// ours or writable by others is not used at all.

#include "document/RecoveryFormat.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QLockFile;

// One slot, locked by this process for as long as the object lives.
class RecoverySlot {
public:
    RecoverySlot(QString folder, std::unique_ptr<QLockFile> lock);
    ~RecoverySlot();
    RecoverySlot(const RecoverySlot &) = delete;
    RecoverySlot &operator=(const RecoverySlot &) = delete;

    QString folder() const { return m_folder; }
    // The description file ("copy.txt") and the time it was last written.
    QString descriptionPath() const;

    // Replaces the copy in the slot: the new test file under a new name,
    // then the description naming it (each written to a temporary file,
    // flushed to disk and renamed), then the old test file is removed. A
    // crash at any point leaves the previous copy or the new one.
    bool write(const RecoveryCopy &copy, QString *error);

    // The copy in the slot, or why it cannot be used.
    RecoveryFormat::ReadResult read() const;

    // Nothing was ever written into it (its editor ended before the first copy).
    bool isEmpty() const;

    // Deletes the files the program writes into a slot, by name, gives up
    // the lock and removes the folder when that leaves it empty.
    void remove();

    // What in the slot is not the program's own ("name (a symbolic link)").
    QStringList foreignEntries() const;

private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    int m_generation = 0;
};

class RecoveryStore {
public:
    // root: the recovery folder; by default "recovery" in the per-user data
    // folder (~/.local/share/Ardenox/recovery on Linux).
    explicit RecoveryStore(QString root = defaultRoot());
    static QString defaultRoot();
    QString root() const { return m_root; }
    // Where damaged copies are moved: root/damaged.
    QString damagedFolder() const;

    // How many damaged copies are kept; older ones are deleted.
    static constexpr int DamagedKept = 10;

    // Why the recovery folder must not be used ("" when it may, or does
    // not exist yet): a link, another user's folder, writable by others.
    QString unusable() const;

    // A new, empty slot for this process; nullptr (with the reason) when the
    // folder cannot be made. A failed attempt leaves no folder behind.
    std::unique_ptr<RecoverySlot> createSlot(QString *error) const;

    struct Abandoned {
        // Every slot whose editor has ended, now locked by this process (so
        // an editor starting at the same time does not take it too), newest
        // first.
        std::vector<std::unique_ptr<RecoverySlot>> ended;
        // What was found in the folder that is not the program's own (full
        // paths, each with the reason); left untouched.
        QStringList foreign;
    };
    Abandoned claimAbandoned() const;

    // Moves a damaged slot into damagedFolder(), where it is never offered
    // again, and keeps only the DamagedKept newest there; returns the folder
    // it now lives in ("" when it could not move, in which case it is
    // deleted).
    QString setAside(std::unique_ptr<RecoverySlot> slot) const;

private:
    bool makePrivateFolder(const QString &path, QString *error) const;
    void pruneDamaged() const;
    QString m_root;
};
