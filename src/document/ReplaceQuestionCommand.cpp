#include "document/ReplaceQuestionCommand.h"

#include "document/QuestionEdits.h"

#include <QCoreApplication>

ReplaceQuestionCommand::ReplaceQuestionCommand(QuestionEdits &editor, int number, const QString &record)
    : m_editor(editor), m_number(number), m_record(record)
{
    setText(QCoreApplication::translate("DocumentEditor", "Edit Question %1").arg(number));
}

void ReplaceQuestionCommand::swap()
{
    m_record = m_editor.exchangeRecord(m_number, m_record);
}
