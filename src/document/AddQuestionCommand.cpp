#include "document/AddQuestionCommand.h"

#include "document/QuestionEdits.h"

#include <QCoreApplication>

AddQuestionCommand::AddQuestionCommand(QuestionEdits &editor, const StoredQuestion &question)
    : m_editor(editor), m_number(editor.nextQuestionNumber()), m_question(question)
{
    setText(QCoreApplication::translate("DocumentEditor", "Add Question %1").arg(m_number));
}

void AddQuestionCommand::redo()
{
    m_editor.insertQuestion(m_number, m_question);
}

void AddQuestionCommand::undo()
{
    m_question = m_editor.takeQuestion(m_number);
}
