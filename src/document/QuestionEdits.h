#pragma once
// The raw changes the undo commands make to a test being edited: its
// questions and its title lines. DocumentEditor carries them out (with its
// change signals); the commands see nothing else of it.

#include <QString>

// The title and class/teacher line of the test file, and the language the
// test is written in, which its companion file keeps.
// Shuffle: "shuffle" when each student sees an order of their own, else "".
enum class TitleLine { Title, Teacher, Language, Shuffle };

// A question as an undo step keeps it: its record, and the description of
// its media that the companion file keeps.
struct StoredQuestion {
    QString record;
    QString description;
};

class QuestionEdits {
public:
    virtual ~QuestionEdits() = default;
    virtual int nextQuestionNumber() const = 0;
    virtual void insertQuestion(int number, const StoredQuestion &question) = 0;
    // Stores `question` as question `number` and returns the one it replaces.
    virtual StoredQuestion exchangeQuestion(int number, const StoredQuestion &question) = 0;
    // Removes question `number` and returns it.
    virtual StoredQuestion takeQuestion(int number) = 0;
    virtual QString titleLine(TitleLine line) const = 0;
    // Stores `text` as the title or class/teacher line and returns the old one.
    virtual QString exchangeTitleLine(TitleLine line, const QString &text) = 0;
};
