#pragma once
// The window tests find controls by their object names, as a user finds them
// by their captions; a missing one stops the test at once with its name.
// What a control shows is read as a user reads it, so one comparison of a
// list of names against a list of texts checks a whole window's state.

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
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

// A box's text, the list's current line, a label's caption; a button or
// option as "on"/"off" when it can be ticked, else its caption.
inline QString shownBy(QObject *c)
{
    if (auto *e = qobject_cast<QLineEdit *>(c)) return e->text();
    if (auto *e = qobject_cast<QPlainTextEdit *>(c)) return e->toPlainText();
    if (auto *l = qobject_cast<QComboBox *>(c)) return l->currentText();
    if (auto *l = qobject_cast<QLabel *>(c)) return l->text();
    if (auto *b = qobject_cast<QAbstractButton *>(c))
        return b->isCheckable() ? QString(b->isChecked() ? "on" : "off") : b->text();
    if (auto *a = qobject_cast<QAction *>(c)) return a->text();
    qFatal("cannot read %s", qPrintable(c->objectName()));
}

inline QStringList shown(QWidget &w, const QStringList &names)
{
    QStringList texts;
    for (const QString &name : names)
        texts << shownBy(get<QObject>(w, name));
    return texts;
}

// A button pressed or a menu command chosen.
inline void click(QWidget &w, const QString &name)
{
    if (auto *a = w.findChild<QAction *>(name))
        a->trigger();
    else
        get<QAbstractButton>(w, name)->click();
}

// Text put into a box as if pasted.
inline void type(QWidget &w, const QString &name, const QString &text)
{
    QObject *c = get<QObject>(w, name);
    if (auto *e = qobject_cast<QLineEdit *>(c))
        e->setText(text);
    else if (auto *e = qobject_cast<QPlainTextEdit *>(c))
        e->setPlainText(text);
    else
        qFatal("cannot type into %s", qPrintable(name));
}

// The enabled state of each control or command named, as one string of
// 1s and 0s (one comparison shows every difference at once).
inline QString enabled(QWidget &w, const QStringList &names)
{
    QString flags;
    for (const QString &name : names) {
        QObject *c = get<QObject>(w, name);
        const auto *a = qobject_cast<QAction *>(c);
        const auto *widget = qobject_cast<QWidget *>(c);
        if (!a && !widget)
            qFatal("%s is neither a control nor a command", qPrintable(name));
        flags += (a ? a->isEnabled() : widget->isEnabled()) ? '1' : '0';
    }
    return flags;
}
