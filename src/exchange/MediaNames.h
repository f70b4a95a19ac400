#pragma once
// Media files that arrive with imported questions are written into one
// folder under safe names: no folder part, no characters that Windows or
// Windows-1252 cannot hold, one full stop (the quiz player takes a media
// file's kind from the text after the first full stop), and never a name
// that would replace a different file already there.

#include "platform/OpenFile.h"
#include "platform/OutputFolder.h"

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
    // The folder an operation opened once for all it writes.
    explicit MediaNames(OutputFolderPtr folder, const QString &avoidNamesIn = QString());

    // Writes data into the folder and returns the full path, or "" with
    // *error set. A file of the same name and the same bytes is reused.
    // Bytes that are not media of the kind their name says are refused.
    QString write(const QString &name, const QByteArray &data, QString *error);
    // Copies an admitted file, known as `name`, into the folder through its
    // handle (the same rules); the very file already in the folder under
    // that name is used where it is.
    QString copy(const OpenFile &file, const QString &name, QString *error);

    QString folder() const { return m_folder; }
    // Removes the files this object wrote (not those it found there).
    void removeCreated();
    QStringList created() const;

private:
    // A free name for these bytes (name, name-2, name-3, ...).
    // sameAs: whether a file already there holds these contents.
    using SameAs = std::function<bool(const OpenFile &)>;
    QString placeFor(const QString &name, const SameAs &sameAs, bool *reuse) const;
    // The file of this name already in the avoided folder (the test's) when
    // it holds these very bytes: used where it is, never copied beside it.
    QString sameInAvoided(const QString &name, const SameAs &sameAs) const;

    OutputFolderPtr m_out;
    QString m_folder;
    QString m_avoid;
    QSet<QString> m_written;   // lower-case names written in this import
    QStringList m_created;     // names of the files written, in the folder
};
