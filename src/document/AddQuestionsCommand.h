#pragma once
// Appends several questions as one step (an import). Undo removes them all
// again and keeps their records as they then are (a save may have shortened
// their media names), for redo.

#include <QString>
#include <QStringList>
#include <QUndoCommand>

#include "document/QuestionEdits.h"
#include <QList>


class AddQuestionsCommand : public QUndoCommand {
public:
    AddQuestionsCommand(QuestionEdits &editor, const QList<StoredQuestion> &questions, const QString &text);
    void redo() override;
    void undo() override;

private:
    QuestionEdits &m_editor;
    int m_first;
    QList<StoredQuestion> m_questions;
};
