#pragma once
// Media files that came with imported questions and are not yet beside a
// saved test. They wait in a folder of this editor's own in the per-user
// data folder (~/.local/share/Ardenox/held-media/<editor>), never in a
// temporary folder: they must outlive a crash as long as a recovery copy
// names them. The folder is locked while its editor runs; at the next start
// the folders of editors that ended are removed once no recovery copy names
// a file in them (removeUnreferenced). Folders 0700; nothing in them is ever
// reached through a link.

#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;

class HeldMedia {
public:
    explicit HeldMedia(QString root = defaultRoot());
    ~HeldMedia();   // gives up the lock; the files stay for a recovery copy
    HeldMedia(const HeldMedia &) = delete;
    HeldMedia &operator=(const HeldMedia &) = delete;

    static QString defaultRoot();
    QString root() const { return m_root; }

    // This editor's folder, made and locked on first use; "" with the reason
    // when it cannot be.
    QString folder(QString *error);

    // True when `path` is a file in one of the held folders under root().
    bool holds(const QString &path) const { return holds(m_root, path); }
    static bool holds(const QString &root, const QString &path);

    // Takes over, as this editor's folder, the held folder a restored copy
    // names (when it is one, has ended, and this editor has none yet).
    void adoptFolderOf(const QString &path);

    // Removes the folders of editors that have ended in which no path of
    // `stillNamed` lies: their files (by name, regular files only), then
    // the folder.
    void removeUnreferenced(const QStringList &stillNamed) const;

private:
    QString m_root;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
};
