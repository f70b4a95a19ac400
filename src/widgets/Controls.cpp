#include "widgets/Controls.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVariant>
#include <algorithm>

namespace Controls {

namespace {
// What every control of a drawn window gets: its name, its place and its
// tip when it has one.
template <typename W>
W *placed(W *w, const QString &name, const QRect &r, const QString &tip = QString())
{
    w->setObjectName(name);
    w->setGeometry(r);
    if (!tip.isEmpty())
        w->setToolTip(tip);
    return w;
}
} // namespace

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &r)
{
    auto *l = placed(new QLabel(text, parent), name, r);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QLabel *fittedLabel(QWidget *parent, const QString &name, const QString &text, const QRect &r)
{
    QLabel *l = label(parent, name, text, r);
    const int natural = l->sizeHint().width();
    if (natural <= r.width())
        return l;
    // Narrowed in steps of 5 percent: each stretch is a font of its own
    // that has to be loaded.
    const int stretch = qMax(85, 100 * r.width() / natural / 5 * 5);
    QFont narrower = l->font();
    narrower.setStretch(stretch);
    l->setFont(narrower);
    // The narrowed width is told from the natural one, as text narrows with
    // its stretch, not measured: measuring would load the narrowed font at
    // once, for a label that may not be shown for a while.
    const int narrowed = (natural * stretch + 99) / 100 + 1;
    if (narrowed > r.width())
        l->resize(narrowed, r.height());
    return l;
}

QAction *menuEntryAfter(QMenu *menu, QAction *after, const QString &name, const QString &text)
{
    auto *action = new QAction(text, menu);
    action->setObjectName(name);
    const QList<QAction *> actions = menu->actions();
    const qsizetype at = actions.indexOf(after);
    menu->insertAction(at >= 0 && at + 1 < actions.size() ? actions[at + 1] : nullptr, action);
    return action;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &r,
                    const QString &tip)
{
    auto *b = placed(new QPushButton(text, parent), name, r, tip);
    b->setAutoDefault(false);
    return b;
}

QLineEdit *lineEdit(QWidget *parent, const QString &name, const QRect &r, int maxLength,
                    const QString &tip)
{
    auto *e = placed(new QLineEdit(parent), name, r, tip);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QRadioButton *option(QWidget *parent, const QString &name, const QString &text, const QRect &r,
                     const QString &tip)
{
    return placed(new QRadioButton(text, parent), name, r, tip);
}

QPlainTextEdit *multiLine(QWidget *parent, const QString &name, const QRect &r, int maxChars,
                          const QString &tip)
{
    auto *t = placed(new QPlainTextEdit(parent), name, r, tip);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t->setTabChangesFocus(true);
    t->setProperty("maxChars", maxChars);
    QObject::connect(t, &QPlainTextEdit::textChanged, t, [t] {
        const QString text = t->toPlainText();
        const int limit = t->property("maxChars").toInt();
        if (text.size() + text.count(QLatin1Char('\n')) <= limit)
            return;
        QString cut;
        int length = 0;
        for (QChar c : text) {
            const int w = c == QLatin1Char('\n') ? 2 : 1;
            if (length + w > limit)
                break;
            cut += c;
            length += w;
        }
        const QSignalBlocker block(t);
        t->setPlainText(cut);
        t->moveCursor(QTextCursor::End);
    });
    return t;
}

void setLineText(QLineEdit *box, const QString &text, int maxLength)
{
    box->setMaxLength(std::max<int>(maxLength, int(text.size())));
    box->setText(text);
}

void setMultiLineText(QPlainTextEdit *box, const QString &text, int maxChars)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->setProperty("maxChars", std::max<int>(maxChars, int(text.size())));
    box->setPlainText(shown);
}

QString multiLineText(const QPlainTextEdit *box)
{
    QString text = box->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

} // namespace Controls

namespace Controls {
void setAnnouncedText(QLabel *label, const QString &text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    label->setAccessibleName(text);
    QAccessibleEvent event(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}
}
