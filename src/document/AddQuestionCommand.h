#pragma once
// Adds a question as the last one. Undo removes it again and keeps its
// record as it then is (a save may have shortened its media name), for redo.

#include <QString>
#include <QUndoCommand>

#include "document/QuestionEdits.h"


class AddQuestionCommand : public QUndoCommand {
public:
    AddQuestionCommand(QuestionEdits &editor, const StoredQuestion &question);
    void redo() override;
    void undo() override;

private:
    QuestionEdits &m_editor;
    int m_number;
    StoredQuestion m_question;
};
