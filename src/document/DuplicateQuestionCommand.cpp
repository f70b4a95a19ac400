#include "document/DuplicateQuestionCommand.h"

#include <QCoreApplication>

DuplicateQuestionCommand::DuplicateQuestionCommand(QuestionEdits &editor, int number)
    : m_editor(editor), m_number(number)
{
    setText(QCoreApplication::translate("DocumentEditor", "Duplicate Question %1").arg(number));
}

void DuplicateQuestionCommand::redo()
{
    // Read by taking it out and putting it back: the edits know no "peek".
    const StoredQuestion question = m_editor.takeQuestion(m_number);
    m_editor.insertQuestion(m_number, question);
    m_editor.insertQuestion(m_number + 1, question);
}

void DuplicateQuestionCommand::undo()
{
    m_editor.takeQuestion(m_number + 1);
}
