#include "document/QuestionView.h"

using namespace QuestionRecord;

QuestionView::QuestionView(const QString &record) : m_fields(fields(record)) {}

QuestionKind QuestionView::kind() const
{
    return kindOf(field(0));
}

bool QuestionView::isComplete() const
{
    switch (kind()) {
    case QuestionKind::MultipleChoice: return fieldCount() >= MultipleChoiceFields;
    case QuestionKind::TrueFalse: return fieldCount() >= TrueFalseFields;
    default: return false;
    }
}

int QuestionView::mediaField() const
{
    return isTrueFalse() ? TrueFalseMediaField : MultipleChoiceMediaField;
}

int QuestionView::rightAnswerField() const
{
    return isTrueFalse() ? TrueFalseAnswerField : MultipleChoiceAnswerField;
}

QString QuestionView::answer(int index) const
{
    return index >= 0 && index < 4 ? field(FirstAnswerField + index) : QString();
}

QStringList QuestionView::answers() const
{
    if (!isMultipleChoice() || !isComplete())
        return {};
    return {answer(0), answer(1), answer(2), answer(3)};
}

QString QuestionView::media() const
{
    return field(mediaField());
}

int QuestionView::rightAnswer() const
{
    return numericValue(field(rightAnswerField()));
}

void QuestionView::setAnswer(int index, const QString &answer)
{
    if (index >= 0 && index < 4)
        setField(FirstAnswerField + index, answer);
}

void QuestionView::setMedia(const QString &media)
{
    setField(mediaField(), media);
}

void QuestionView::setRightAnswer(int index)
{
    setField(rightAnswerField(), withSignPosition(index));
}

void QuestionView::setField(int index, const QString &text)
{
    while (m_fields.size() <= index)
        m_fields.append(QString());
    m_fields[index] = text;
}
