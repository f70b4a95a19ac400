#pragma once
// The four most recently opened or saved tests, newest first, kept in the
// settings store under Ardenox/Settings/MRU1..MRU4. An empty slot holds
// "untitled". The File menu shows this list.

#include <QString>
#include <array>

class SettingsStore;

class RecentFiles {
public:
    static constexpr int Count = 4;
    static inline const QString Empty = QStringLiteral("untitled");

    RecentFiles() { m_entries.fill(Empty); }

    // Entry i, 1 to 4.
    QString entry(int i) const { return m_entries.at(i - 1); }
    static bool isUsed(const QString &caption)
    { return caption.compare(Empty, Qt::CaseInsensitive) != 0; }
    bool isUsed(int i) const { return isUsed(entry(i)); }

    // How the list names a file: in lower case where file names ignore
    // letter case (Windows, as its programs have always listed them), else
    // exactly, so that Quiz.ard and quiz.ard in one folder stay two files.
    static QString listedPath(const QString &path);
    static Qt::CaseSensitivity pathCase();

    // Puts path at the top, moving the others down; the fourth drops off. A
    // path already listed (letter case ignored where the file system ignores
    // it) leaves the list as it is, and so does an empty path.
    // Returns whether the list changed.
    bool add(const QString &path);

    void load(const SettingsStore &store);
    void save(SettingsStore &store) const;

private:
    std::array<QString, Count> m_entries;
};
