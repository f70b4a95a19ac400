#include "widgets/AccessibleWindow.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {
constexpr const char *kMark = "ardenoAccessibleWindow";

QAccessibleInterface *windowInterface(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (widget && widget->isWindow() && widget->property(kMark).toBool())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}
}

namespace AccessibleWindow {
void mark(QWidget *window)
{
    static const bool installed = [] {
        QAccessible::installFactory(windowInterface);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(kMark, true);
}
}
