#pragma once
// The raw changes the undo commands make to a test being edited: its
// questions and its two title lines. DocumentEditor carries them out (with
// its change signals); the commands see nothing else of it.

#include <QString>

enum class TitleLine { Title, Teacher };

class QuestionEdits {
public:
    virtual ~QuestionEdits() = default;
    virtual int nextQuestionNumber() const = 0;
    virtual void insertRecord(int number, const QString &record) = 0;
    // Stores `record` for question `number` and returns the one it replaces.
    virtual QString exchangeRecord(int number, const QString &record) = 0;
    // Removes question `number` and returns its record.
    virtual QString takeRecord(int number) = 0;
    virtual QString titleLine(TitleLine line) const = 0;
    // Stores `text` as the title or class/teacher line and returns the old one.
    virtual QString exchangeTitleLine(TitleLine line, const QString &text) = 0;
};
