#include "document/ReplaceQuestionCommand.h"

#include "document/QuestionEdits.h"

#include <QCoreApplication>

ReplaceQuestionCommand::ReplaceQuestionCommand(QuestionEdits &editor, int number, const StoredQuestion &question)
    : m_editor(editor), m_number(number), m_question(question)
{
    setText(QCoreApplication::translate("DocumentEditor", "Edit Question %1").arg(number));
}

void ReplaceQuestionCommand::swap()
{
    m_question = m_editor.exchangeQuestion(m_number, m_question);
}
