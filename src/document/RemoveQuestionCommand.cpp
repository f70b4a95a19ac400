#include "document/RemoveQuestionCommand.h"

#include "document/QuestionEdits.h"

#include <QCoreApplication>

RemoveQuestionCommand::RemoveQuestionCommand(QuestionEdits &editor, int number)
    : m_editor(editor), m_number(number)
{
    setText(QCoreApplication::translate("DocumentEditor", "Remove Question %1").arg(number));
}

void RemoveQuestionCommand::redo()
{
    m_question = m_editor.takeQuestion(m_number);
}

void RemoveQuestionCommand::undo()
{
    m_editor.insertQuestion(m_number, m_question);
}
