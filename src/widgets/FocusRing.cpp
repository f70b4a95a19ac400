#include "widgets/FocusRing.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleOption>
#include <QWidget>

namespace {
// The "more" chevrons (») of a menu bar too narrow for its menus, drawn
// when shown. The style's own are picture files, and the first picture
// file read has Qt load every picture reader it has (TIFF, WebP, ...),
// which cost every start of the editor for a button seldom seen.
class ChevronIconEngine : public QIconEngine {
public:
    explicit ChevronIconEngine(bool vertical) : m_vertical(vertical) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const QPalette palette = QApplication::palette();
        const QColor ink = palette.color(mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active,
                                         QPalette::ButtonText);
        const qreal side = qMin(rect.width(), rect.height()) * 0.6;
        const QRectF box(rect.center().x() - side / 2 + 0.5, rect.center().y() - side / 2 + 0.5, side, side);
        QPainterPath path;
        for (const qreal at : {0.15, 0.55}) {
            // Two chevrons pointing right (or down).
            const auto point = [&](qreal along, qreal across) {
                return m_vertical ? QPointF(box.left() + across * side, box.top() + along * side)
                                  : QPointF(box.left() + along * side, box.top() + across * side);
            };
            path.moveTo(point(at, 0.1));
            path.lineTo(point(at + 0.3, 0.5));
            path.lineTo(point(at, 0.9));
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QPen(ink, qMax<qreal>(1.0, side / 8), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawPath(path);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine *clone() const override { return new ChevronIconEngine(m_vertical); }

private:
    bool m_vertical;
};

class FocusRingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override
    {
        if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton)
            return QIcon(new ChevronIconEngine(icon == SP_ToolBarVerticalExtensionButton));
        return QProxyStyle::standardIcon(icon, option, widget);
    }

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
