#include "widgets/FocusRing.h"

#include <QApplication>
#include <QWidget>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace {
class FocusRingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        const bool ringed = element == CE_PushButton || element == CE_RadioButton || element == CE_CheckBox;
        if (!ringed || !(option->state & State_HasFocus) || !(option->state & State_KeyboardFocusChange))
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(Qt::black, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }
};
}

namespace FocusRing {
void frameWhenFocused(QWidget *pane)
{
    pane->setStyleSheet(QStringLiteral("#%1 { border: 2px solid transparent; } #%1:focus { border: 2px solid black; }")
                            .arg(pane->objectName()));
}

void useForProgram()
{
    QApplication::setStyle(new FocusRingStyle(QApplication::style()->name()));
}
}
