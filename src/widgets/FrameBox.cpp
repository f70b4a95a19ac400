#include "widgets/FrameBox.h"

#include <QPainter>

FrameBox::FrameBox(const QString &title, QWidget *parent) : QGroupBox(title, parent) {}

void FrameBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    painter.setPen(palette().color(isEnabled() ? QPalette::Mid : QPalette::Midlight));
    painter.drawRect(QRect(0, lineY, width() - 1, height() - lineY - 1));

    if (title().isEmpty())
        return;
    const QString text = title();
    const int textWidth = metrics.horizontalAdvance(text);
    const QRect textRect(8, 0, textWidth + 4, metrics.height());
    painter.fillRect(textRect, palette().brush(backgroundRole()));
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   foregroundRole()));
    painter.drawText(textRect, Qt::AlignCenter, text);
}
