#include "preview/TestRunner.h"

#include "document/QuestionRecord.h"
#include "document/QuestionView.h"
#include "document/TestDocument.h"

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
    return m_doc->record(CurrentQuestion);
}

QString TestRunner::countCaption() const
{
    return QStringLiteral("Question #") + QuestionRecord::withSignPosition(CurrentQuestion);
}

QString TestRunner::scoreCaption() const
{
    return QStringLiteral("Score: %1 correct of %2 total.").arg(Score).arg(questionCount());
}

AnswerVerdict TestRunner::judge(int index, const QStringList &options, const QStringList &answers) const
{
    if (isRight(index))
        return {AnswerVerdict::Kind::Right, QString()};
    const int c = CorrectAnswer;
    if (c < 0 || c >= options.size())
        return {AnswerVerdict::Kind::CannotBePassed, QString()};
    QString message = QStringLiteral("The correct answer was ") + options[c] + QLatin1Char('.');
    if (!answers.isEmpty())
        message += QLatin1Char(' ') + answers.value(c);
    return {AnswerVerdict::Kind::Wrong, message};
}

bool TestRunner::advance()
{
    ++CurrentQuestion;
    return CurrentQuestion <= questionCount();
}
