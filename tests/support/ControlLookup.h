#pragma once
// The window tests find controls by their object names, as a user finds them
// by their captions; a missing one stops the test at once with its name.

#include <QString>
#include <QWidget>
#include <QtGlobal>

template <typename T>
T *get(QWidget &w, const QString &name)
{
    T *c = w.findChild<T *>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}
