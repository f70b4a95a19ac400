#include "app/UndoKeyRouter.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace {
bool matches(const QAction *action, const QKeyEvent *key)
{
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence &s : action->shortcuts())
        if (s == pressed)
            return true;
    return false;
}

// Whether the box has typing to undo (or redo); false for anything that is
// not a text box.
bool boxCan(QObject *widget, bool undo)
{
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        return !line->isReadOnly() && (undo ? line->isUndoAvailable() : line->isRedoAvailable());
    if (auto *box = qobject_cast<QPlainTextEdit *>(widget))
        return !box->isReadOnly() && (undo ? box->document()->isUndoAvailable() : box->document()->isRedoAvailable());
    return false;
}
}

UndoKeyRouter::UndoKeyRouter(QWidget *window, QMenu *menu, QAction *undo, QAction *redo)
    : QObject(window), m_undo(undo), m_redo(redo)
{
    qApp->installEventFilter(this);
    // The menu's own signal comes after the action has done its work, which
    // may have moved the focus (an emptied entry area, a disabled button).
    connect(menu, &QMenu::aboutToShow, this, [this] {
        QWidget *focus = QApplication::focusWidget();
        m_focus = qobject_cast<QMenuBar *>(focus) ? nullptr : focus;
    });
    connect(menu, &QMenu::triggered, this, [this](QAction *action) {
        if ((action == m_undo || action == m_redo) && m_focus && m_focus->isEnabled() && m_focus->isVisible())
            m_focus->setFocus(Qt::OtherFocusReason);
        m_focus = nullptr;
    });
}

bool UndoKeyRouter::eventFilter(QObject *watched, QEvent *event)
{
    // Qt asks the focused box first whether it wants a shortcut's key for
    // itself; a box with nothing to undo is made to let it go.
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const bool undo = matches(m_undo, key);
    if (!undo && !matches(m_redo, key))
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != qobject_cast<QWidget *>(parent()) || boxCan(watched, undo))
        return false;
    event->ignore();
    return true;
}
