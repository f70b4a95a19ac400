#pragma once
// An option button that tells when a mouse button (any of them) is released
// over it. The preview answers on this, never on a keyboard selection.

#include <QMouseEvent>
#include <QRadioButton>

class AnswerOption : public QRadioButton {
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

signals:
    void mouseReleased(Qt::MouseButton button);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const bool over = rect().contains(event->position().toPoint());
        const Qt::MouseButton button = event->button();
        QRadioButton::mouseReleaseEvent(event);   // a left click selects first
        if (over)
            emit mouseReleased(button);
    }
};
