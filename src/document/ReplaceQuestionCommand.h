#pragma once
// Stores a changed record for one question. Undo and redo each swap the
// record held here with the one in the document, so whatever the document
// held in between (a save's shortened media name) comes back exactly.

#include <QString>
#include <QUndoCommand>

#include "document/QuestionEdits.h"


class ReplaceQuestionCommand : public QUndoCommand {
public:
    ReplaceQuestionCommand(QuestionEdits &editor, int number, const StoredQuestion &question);
    void redo() override { swap(); }
    void undo() override { swap(); }

private:
    void swap();

    QuestionEdits &m_editor;
    int m_number;
    StoredQuestion m_question;
};
