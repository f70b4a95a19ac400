#pragma once
// The three raw changes the undo commands make to the questions of a test
// being edited. DocumentEditor carries them out (with its change signals);
// the commands see nothing else of it.

#include <QString>

class QuestionEdits {
public:
    virtual ~QuestionEdits() = default;
    virtual int nextQuestionNumber() const = 0;
    virtual void insertRecord(int number, const QString &record) = 0;
    // Stores `record` for question `number` and returns the one it replaces.
    virtual QString exchangeRecord(int number, const QString &record) = 0;
    // Removes question `number` and returns its record.
    virtual QString takeRecord(int number) = 0;
};
