#pragma once
// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y where the cursor is: a text box that has
// typing to undo (or redo) takes the key, as any text box does; one that has
// none passes it on to Edit > Undo and Redo, which undo the last change to
// the test. Without this, the emptied question box after Add swallows the
// key and does nothing.

#include <QObject>

class QAction;

class UndoKeyRouter : public QObject {
    Q_OBJECT
public:
    // Watches the key presses of `window` and its children.
    UndoKeyRouter(QObject *window, QAction *undo, QAction *redo);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *m_undo;
    QAction *m_redo;
};
