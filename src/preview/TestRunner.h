#pragma once
// The runner of a preview without its window: which question is on screen,
// what its right answer is, how many answers were right, when the run began,
// and how a record reads as a question on screen.

#include <QDateTime>
#include <QString>
#include <QStringList>

class TestDocument;

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
