#pragma once
// Removes one question; the later ones move up. Undo puts the record back at
// its number, the later ones moving down again.

#include <QString>
#include <QUndoCommand>

#include "document/QuestionEdits.h"


class RemoveQuestionCommand : public QUndoCommand {
public:
    RemoveQuestionCommand(QuestionEdits &editor, int number);
    void redo() override;
    void undo() override;

private:
    QuestionEdits &m_editor;
    int m_number;
    StoredQuestion m_question;
};
