#include "document/AddQuestionCommand.h"

#include "document/QuestionEdits.h"

#include <QCoreApplication>

AddQuestionCommand::AddQuestionCommand(QuestionEdits &editor, const QString &record)
    : m_editor(editor), m_number(editor.nextQuestionNumber()), m_record(record)
{
    setText(QCoreApplication::translate("DocumentEditor", "Add Question %1").arg(m_number));
}

void AddQuestionCommand::redo()
{
    m_editor.insertRecord(m_number, m_record);
}

void AddQuestionCommand::undo()
{
    m_record = m_editor.takeRecord(m_number);
}
