#include "app/DefaultButtonKeys.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

DefaultButtonKeys::DefaultButtonKeys(QPushButton *defaultButton, QWidget *window)
    : QObject(window), m_default(defaultButton), m_window(window)
{
    m_default->setDefault(true);
}

void DefaultButtonKeys::watch(QPlainTextEdit *box) { box->installEventFilter(this); }

void DefaultButtonKeys::pressDefaultButton()
{
    if (m_default->isEnabled())
        m_default->animateClick();
}

bool DefaultButtonKeys::windowKeyPress(QKeyEvent *event)
{
    if ((event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        || (event->modifiers() & ~Qt::KeypadModifier))
        return false;
    auto *focused = qobject_cast<QPushButton *>(m_window->focusWidget());
    if (focused && focused != m_default && focused->isEnabled())
        focused->animateClick();
    else
        pressDefaultButton();
    return true;
}

bool DefaultButtonKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ControlModifier)
                static_cast<QPlainTextEdit *>(watched)->insertPlainText(QStringLiteral("\n"));
            else
                pressDefaultButton();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
