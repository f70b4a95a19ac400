#pragma once
// Moves one question to another number; the ones between shift by one.
// Undo moves it back.

#include "document/QuestionEdits.h"

#include <QUndoCommand>

class MoveQuestionCommand : public QUndoCommand {
public:
    MoveQuestionCommand(QuestionEdits &editor, int from, int to);
    void redo() override;
    void undo() override;

private:
    QuestionEdits &m_editor;
    int m_from;
    int m_to;
};
