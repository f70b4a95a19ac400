#pragma once
// The test being edited, whole: up to 100 question records, numbered 1 to N
// without gaps, each with its caption (the question text the list shows); the
// title and class/teacher line; the file it belongs to, the folder its bare
// media names are found in, and where the media it holds wait until they are
// beside a saved file.
//
// Beside each record the document keeps the description of its media, and
// beside the title the language the test is written in: what the test file
// has no room for and its companion file keeps (TestCompanion).
//
// The records are kept exactly as they were read or built: a record is read
// through QuestionView, and any change goes through the methods below, which
// keep record and caption together. The number the next question gets is
// derived from the count.

#include "document/QuestionView.h"
#include "document/TestCompanion.h"

#include <QString>
#include <QStringList>

class TestDocument {
public:
    static constexpr int MaxQuestions = 100;
    // The title and class/teacher boxes take this many characters.
    static constexpr int MaxTitleText = 100;

    int questionCount() const { return int(m_records.size()); }
    // N + 1: 1 for an empty test, 101 for a full one.
    int nextQuestionNumber() const { return questionCount() + 1; }
    bool isEmpty() const { return m_records.isEmpty(); }
    bool isFull() const { return questionCount() >= MaxQuestions; }

    // Question `number` (1 to N); "" outside that range.
    QString record(int number) const;
    QString caption(int number) const;
    QuestionView question(int number) const { return QuestionView(record(number)); }
    // Records 1 to N.
    const QStringList &records() const { return m_records; }
    const QStringList &captions() const { return m_captions; }

    // The description of question `number`'s media; "" for none.
    QString description(int number) const;
    const QStringList &descriptions() const { return m_descriptions; }

    // Removes every question.
    void clearRecords();
    // Replaces all questions (at most the first 100 are kept), without descriptions.
    void setRecords(const QStringList &records);
    // Appends as question N + 1; false when the test is full.
    bool append(const QString &record, const QString &description = QString());
    // Inserts as question `number` (1 to N + 1), moving the later ones down;
    // false when the test is full or the number is out of range.
    bool insert(int number, const QString &record, const QString &description = QString());
    // Stores a new record for question `number` (1 to N) and returns the old
    // one; its description stays.
    QString replace(int number, const QString &record);
    // Stores a new description for question `number` and returns the old one.
    QString replaceDescription(int number, const QString &description);
    // Removes question `number` (1 to N), moving the later ones up, and
    // returns its record ("" when there was none) and its description.
    QString remove(int number, QString *description = nullptr);

    // The language and descriptions together, as the companion file keeps
    // them; setCompanion takes the descriptions of questions 1 to N.
    TestCompanion companion() const { return {m_language, m_descriptions, m_shuffle}; }
    void setCompanion(const TestCompanion &companion);
    QString language() const { return m_language; }
    void setLanguage(const QString &language) { m_language = language; }
    // Each student of a web quiz, package or live class in an order of their own.
    bool shuffle() const { return m_shuffle; }
    void setShuffle(bool shuffle) { m_shuffle = shuffle; }

    // The header of the test file: what the quiz player shows as the test's
    // title and its class/teacher line.
    QString title() const { return m_title; }
    QString teacher() const { return m_teacher; }
    void setTitle(const QString &title) { m_title = title; }
    void setTeacher(const QString &teacher) { m_teacher = teacher; }

    // Full path of the test last opened or saved; "" at start.
    QString currentFile() const { return m_currentFile; }
    void setCurrentFile(const QString &path) { m_currentFile = path; }
    // Folder (with its final separator) of the test last opened or saved:
    // where the test's bare media names are found.
    QString testFolder() const { return m_testFolder; }
    void setTestFolder(const QString &folder) { m_testFolder = folder; }

    // Where the media the test holds wait until they are beside a saved test
    // (imported ones): a file under this folder is the test's own, and Save
    // takes it along under a free name when its name is taken.
    QString heldMediaRoot() const { return m_heldMediaRoot; }
    void setHeldMediaRoot(const QString &root) { m_heldMediaRoot = root; }

    // Field 1 of a record ("" when it has none).
    static QString captionOf(const QString &record);

private:
    bool contains(int number) const { return number >= 1 && number <= questionCount(); }

    QStringList m_records;    // question i at index i - 1
    QStringList m_captions;
    QStringList m_descriptions;
    QString m_language;
    bool m_shuffle = false;
    QString m_title;
    QString m_teacher;
    QString m_currentFile;
    QString m_testFolder;
    QString m_heldMediaRoot;
};
