#pragma once
// Puts a copy of one question (its description too) right after it; the
// later ones move down. Undo takes the copy out.

#include "document/QuestionEdits.h"

#include <QUndoCommand>

class DuplicateQuestionCommand : public QUndoCommand {
public:
    DuplicateQuestionCommand(QuestionEdits &editor, int number);
    void redo() override;
    void undo() override;

private:
    QuestionEdits &m_editor;
    int m_number;
};
