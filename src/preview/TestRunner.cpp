#include "preview/TestRunner.h"

#include "document/QuestionRecord.h"
#include "document/TestDocument.h"

PreviewQuestion PreviewQuestion::fromRecord(const QString &record)
{
    PreviewQuestion q;
    // The runner looks at the record as stored: no trimming before the kind.
    switch (QuestionRecord::kindOf(record)) {
    case QuestionRecord::Kind::MultipleChoice: q.kind = Kind::MultipleChoice; break;
    case QuestionRecord::Kind::TrueFalse: q.kind = Kind::TrueFalse; break;
    default: return q;
    }
    const QStringList f = QuestionRecord::fields(record);
    q.field0 = f.value(0);
    const bool mc = q.kind == Kind::MultipleChoice;
    if (f.size() < (mc ? QuestionRecord::MultipleChoiceFields : QuestionRecord::TrueFalseFields)) {
        q.tooFewFields = true;
        return q;
    }
    q.question = f.at(1);
    if (mc) {
        q.answers = f.mid(2, 4);
        q.mediaReference = f.at(QuestionRecord::MultipleChoiceMediaField);
        q.correctIndex = QuestionRecord::numericValue(f.at(7));
    } else {
        q.mediaReference = f.at(QuestionRecord::TrueFalseMediaField);
        q.correctIndex = QuestionRecord::numericValue(f.at(3));
    }
    return q;
}

void TestRunner::start(const QDateTime &now)
{
    Score = 0;
    CurrentQuestion = 1;
    CorrectAnswer = 1;
    StartedAt = now;
    StartTime = now.time().msecsSinceStartOfDay() / 1000.0;
    MediaFile.clear();
}

int TestRunner::questionCount() const
{
    return m_doc ? m_doc->questionCount() : 0;
}

QString TestRunner::currentRecord() const
{
    if (!m_doc || CurrentQuestion < 1 || CurrentQuestion > TestDocument::MaxQuestions)
        return QString();
    return m_doc->QuestionRecords[CurrentQuestion];
}

QString TestRunner::countCaption() const
{
    return QStringLiteral("Question #") + QuestionRecord::withSignPosition(CurrentQuestion);
}

QString TestRunner::scoreCaption() const
{
    return QStringLiteral("Score: %1 correct of %2 total.").arg(Score).arg(questionCount());
}

bool TestRunner::advance()
{
    ++CurrentQuestion;
    return CurrentQuestion <= questionCount();
}
