#pragma once
// Changes the test's title or its class/teacher line. Typing into one of the
// boxes makes one step per run of typing, as a text editor's undo does: each
// change of the same line merges into the step on top of the stack, and a
// run that ends where it began drops out of the history.

#include "document/QuestionEdits.h"

#include <QString>
#include <QUndoCommand>

class ChangeTitleCommand : public QUndoCommand {
public:
    ChangeTitleCommand(QuestionEdits &editor, TitleLine line, const QString &text);
    void redo() override { swap(); }
    void undo() override { swap(); }
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

private:
    void swap();

    QuestionEdits &m_editor;
    TitleLine m_line;
    QString m_text;   // the text the next swap puts in
};
