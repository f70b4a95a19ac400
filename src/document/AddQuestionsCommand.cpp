#include "document/AddQuestionsCommand.h"

#include "document/QuestionEdits.h"

AddQuestionsCommand::AddQuestionsCommand(QuestionEdits &editor, const QStringList &records, const QString &text)
    : m_editor(editor), m_first(editor.nextQuestionNumber()), m_records(records)
{
    setText(text);
}

void AddQuestionsCommand::redo()
{
    for (qsizetype i = 0; i < m_records.size(); ++i)
        m_editor.insertRecord(m_first + int(i), m_records[i]);
}

void AddQuestionsCommand::undo()
{
    for (qsizetype i = m_records.size() - 1; i >= 0; --i)
        m_records[i] = m_editor.takeRecord(m_first + int(i));
}
