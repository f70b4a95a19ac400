#pragma once
// The test being edited: up to 100 question records with their captions
// (the question texts the list shows), numbered 1 to N without gaps. The
// title and class/teacher line live in the editor's boxes, not here.

#include <QString>
#include <array>

class TestDocument {
public:
    static constexpr int MaxQuestions = 100;

    // N + 1; 1 for an empty test, 101 for a full one. The editor's reset sets
    // it to 0 for a moment and its callers set it right after.
    int NextQuestionNumber = 1;
    // Indices 1 to 100; index 0 is unused. Entries above N are never read.
    std::array<QString, MaxQuestions + 1> QuestionRecords;
    std::array<QString, MaxQuestions + 1> QuestionCaptions;
    // Full path of the test last opened or saved; "" at start.
    QString CurrentFile;
    // Folder (with its final separator) of the test last opened from the
    // recent-files list: the second place media files are looked for.
    QString TestFolder;

    int questionCount() const { return NextQuestionNumber > 1 ? NextQuestionNumber - 1 : 0; }
    bool isFull() const { return questionCount() >= MaxQuestions; }

    // Empties all 100 records and captions (NextQuestionNumber untouched).
    void clearRecords();
    // Stores record i and its caption (field 1) in one step. 1 <= i <= 100.
    void setRecord(int i, const QString &record);
    // Appends as question N + 1; false when the test is full.
    bool append(const QString &record);
    // Removes question i and moves the later ones up; N shrinks by one.
    void remove(int i);

    // Field 1 of a record ("" when it has none).
    static QString captionOf(const QString &record);
};
