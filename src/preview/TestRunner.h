#pragma once
// The runner of a preview without its window: which question is on screen,
// what its right answer is, how many answers were right, when the run began,
// and how a record reads as a question on screen.

#include "document/QuestionKind.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class TestDocument;

// One record as the preview shows it.
struct PreviewQuestion {
    QuestionKind kind = QuestionKind::Unknown;   // by the first character, "m"/"M" or "t"/"T"
    bool tooFewFields = false; // fewer than 8 (multiple choice) or 4 (true/false)
    QString field0;            // the kind field, named by the failure message
    QString question;
    QStringList answers;       // A to D; empty for true/false
    QString mediaReference;
    int correctIndex = 0;      // read by numeric value; no number reads as 0

    static PreviewQuestion fromRecord(const QString &record);
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
