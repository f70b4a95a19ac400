#pragma once
// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y where the cursor is: a text box that has
// typing to undo (or redo) takes the key, as any text box does; one that has
// none passes it on to Edit > Undo and Redo, which undo the last change to
// the test. Without this, the emptied question box after Add swallows the
// key and does nothing. After Edit > Undo or Redo the focus is back where
// the cursor was.

#include <QObject>

#include <QPointer>

class QAction;
class QMenu;
class QWidget;

class UndoKeyRouter : public QObject {
    Q_OBJECT
public:
    // Watches the key presses of `window` and its children; `menu` holds the
    // two actions.
    UndoKeyRouter(QWidget *window, QMenu *menu, QAction *undo, QAction *redo);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *m_undo;
    QAction *m_redo;
    QPointer<QWidget> m_focus;   // where the cursor was when the menu opened
};
