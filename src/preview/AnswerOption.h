#pragma once
// An option button that tells when a mouse button (any of them) is released
// over it, or when the keyboard activates it (Space or Enter): the preview
// answers on either. Arrow keys only move the check, as in any group of
// option buttons.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QRadioButton>

class AnswerOption : public QRadioButton {
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

signals:
    void mouseReleased(Qt::MouseButton button);
    void keyActivated();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const bool over = rect().contains(event->position().toPoint());
        const Qt::MouseButton button = event->button();
        QRadioButton::mouseReleaseEvent(event);   // a left click selects first
        if (over)
            emit mouseReleased(button);
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
            setChecked(true);
            emit keyActivated();
            return;
        }
        QRadioButton::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent *event) override
    {
        const bool space = event->key() == Qt::Key_Space && !event->isAutoRepeat() && isDown();
        QRadioButton::keyReleaseEvent(event);   // checks the option
        if (space)
            emit keyActivated();
    }
};
