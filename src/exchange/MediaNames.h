#pragma once
// Media files that arrive with imported questions are written into one
// folder under safe names: no folder part, no characters that Windows or
// Windows-1252 cannot hold, one full stop (the quiz player takes a media
// file's kind from the text after the first full stop), and never a name
// that would replace a different file already there.

#include <QByteArray>
#include <QSet>
#include <QString>
#include <functional>

class MediaNames {
public:
    // A bare file name made from any name a file arrived under.
    static QString sanitise(const QString &name);

    // avoidNamesIn: a second folder whose names count as taken (the test's
    // folder, which the files will be copied into when the test is saved).
    explicit MediaNames(const QString &folder, const QString &avoidNamesIn = QString());

    // Writes data into the folder and returns the full path, or "" with
    // *error set. A file of the same name and the same bytes is reused.
    // Bytes that are not media of the kind their name says are refused.
    QString write(const QString &name, const QByteArray &data, QString *error);
    // Copies an existing file into the folder (the same rules); a file
    // already in the folder is used where it is. Only a file the media
    // admission rule lets travel is taken.
    QString copy(const QString &sourcePath, QString *error);

    QString folder() const { return m_folder; }
    // Removes the files this object wrote (not those it found there).
    void removeCreated();
    QStringList created() const { return m_created; }

private:
    // A free name for these bytes (name, name-2, name-3, ...).
    // sameAs: whether a file already there holds these contents.
    QString placeFor(const QString &name, const std::function<bool(const QString &)> &sameAs, bool *reuse) const;
    // The file of this name already in the avoided folder (the test's) when
    // it holds these very bytes: used where it is, never copied beside it.
    QString sameInAvoided(const QString &name, const std::function<bool(const QString &)> &sameAs) const;

    QString m_folder;
    QString m_avoid;
    QSet<QString> m_written;   // lower-case names written in this import
    QStringList m_created;     // full paths of the files written
};
