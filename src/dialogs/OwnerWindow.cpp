#include "dialogs/OwnerWindow.h"

#include <QApplication>
#include <QWidget>

namespace {
bool isTransient(const QWidget *w)
{
    const Qt::WindowType type = w->windowType();
    return type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen;
}

QWidget *ordinary(QWidget *w)
{
    while (w && isTransient(w->window()))
        w = w->window()->parentWidget();
    return w ? w->window() : nullptr;
}
}

QWidget *ownerWindow()
{
    if (QWidget *w = ordinary(QApplication::activeModalWidget()))
        return w;
    if (QWidget *w = ordinary(QApplication::activeWindow()))
        return w;
    if (QWidget *w = ordinary(QApplication::focusWidget()))
        return w;
    if (QWidget *w = ordinary(QApplication::activePopupWidget()))
        return w;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && !isTransient(w))
            return w;
    return nullptr;
}
