#pragma once
// Adds a question as the last one. Undo removes it again and keeps its
// record as it then is (a save may have shortened its media name), for redo.

#include <QString>
#include <QUndoCommand>

class QuestionEdits;

class AddQuestionCommand : public QUndoCommand {
public:
    AddQuestionCommand(QuestionEdits &editor, const QString &record);
    void redo() override;
    void undo() override;

private:
    QuestionEdits &m_editor;
    int m_number;
    QString m_record;
};
