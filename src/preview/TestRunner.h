#pragma once
// The runner of a preview without its window: which question is on screen,
// what its right answer is, how many answers were right, when the run began,
// and how a record reads as a question on screen.

#include <QDateTime>
#include <QString>
#include <QStringList>

class TestDocument;

// What an answer comes to, by the preview's rule: right (the score goes up
// after the right-answer sound), wrong (the message names the right one),
// or a question whose right answer names no option, which cannot be passed.
struct AnswerVerdict {
    enum class Kind { Right, Wrong, CannotBePassed };
    Kind kind = Kind::Right;
    QString message;   // for Wrong: "The correct answer was B. In the sea"
};

class TestRunner {
public:
    explicit TestRunner(const TestDocument *doc = nullptr) : m_doc(doc) {}

    void setDocument(const TestDocument *doc) { m_doc = doc; }
    const TestDocument *document() const { return m_doc; }

    // The load step: Score 0, question 1, CorrectAnswer 1, the clock noted.
    void start(const QDateTime &now);

    int questionCount() const;                 // N
    QString currentRecord() const;             // record CurrentQuestion ("" beyond N)

    // "Question # 1": the number with the blank of its sign position.
    QString countCaption() const;
    // "Score: 0 correct of 10 total."
    QString scoreCaption() const;

    bool isRight(int index) const { return index == CorrectAnswer; }
    // The rule for an answer, whichever way it was given (a mouse release,
    // Space or Enter): `options` names the frame's options ("A".."D", or
    // "True" and "False"), `answers` their texts (multiple choice only).
    AnswerVerdict judge(int index, const QStringList &options, const QStringList &answers = {}) const;
    // Moves to the next question; false when the test is over.
    bool advance();

    // The state as the quiz player's runner names it.
    int CurrentQuestion = 1;
    int CorrectAnswer = 1;
    int Score = 0;
    double StartTime = 0;      // seconds since midnight at the load
    QDateTime StartedAt;       // the same moment, with its date (for the elapsed time)
    QString MediaFile;

private:
    const TestDocument *m_doc;
};
