#include "document/MoveQuestionCommand.h"

#include <QCoreApplication>

MoveQuestionCommand::MoveQuestionCommand(QuestionEdits &editor, int from, int to)
    : m_editor(editor), m_from(from), m_to(to)
{
    setText(QCoreApplication::translate("DocumentEditor", "Move Question %1").arg(from));
}

void MoveQuestionCommand::redo()
{
    m_editor.insertQuestion(m_to, m_editor.takeQuestion(m_from));
}

void MoveQuestionCommand::undo()
{
    m_editor.insertQuestion(m_from, m_editor.takeQuestion(m_to));
}
