#include "document/TestDocument.h"
#include "document/QuestionRecord.h"

void TestDocument::clearRecords()
{
    QuestionRecords.fill(QString());
    QuestionCaptions.fill(QString());
}

QString TestDocument::captionOf(const QString &record)
{
    const QStringList f = QuestionRecord::fields(record);
    return f.size() > 1 ? f[1] : QString();
}

void TestDocument::setRecord(int i, const QString &record)
{
    if (i < 1 || i > MaxQuestions)
        return;
    QuestionRecords[i] = record;
    QuestionCaptions[i] = captionOf(record);
}

bool TestDocument::append(const QString &record)
{
    if (isFull())
        return false;
    const int i = questionCount() + 1;
    setRecord(i, record);
    NextQuestionNumber = i + 1;
    return true;
}

void TestDocument::remove(int i)
{
    const int n = questionCount();
    if (i < 1 || i > n)
        return;
    for (int j = i; j < n; ++j)
        setRecord(j, QuestionRecords[j + 1]);
    NextQuestionNumber = n;   // the old last entry stays as a leftover, never read
}
