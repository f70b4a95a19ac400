#include "widgets/Controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVariant>

namespace Controls {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &r)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(r);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QLabel *fittedLabel(QWidget *parent, const QString &name, const QString &text, const QRect &r)
{
    QLabel *l = label(parent, name, text, r);
    if (l->sizeHint().width() > r.width()) {
        QFont narrower = l->font();
        narrower.setStretch(qMax(85, 100 * r.width() / l->sizeHint().width()));
        l->setFont(narrower);
    }
    if (l->sizeHint().width() > r.width())
        l->resize(l->sizeHint().width(), r.height());
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &text, const QRect &r,
                    const QString &tip)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(r);
    b->setAutoDefault(false);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

QLineEdit *lineEdit(QWidget *parent, const QString &name, const QRect &r, int maxLength,
                    const QString &tip)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(r);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    if (!tip.isEmpty())
        e->setToolTip(tip);
    return e;
}

QRadioButton *option(QWidget *parent, const QString &name, const QString &text, const QRect &r,
                     const QString &tip)
{
    auto *o = new QRadioButton(text, parent);
    o->setObjectName(name);
    o->setGeometry(r);
    if (!tip.isEmpty())
        o->setToolTip(tip);
    return o;
}

QPlainTextEdit *multiLine(QWidget *parent, const QString &name, const QRect &r, int maxChars,
                          const QString &tip)
{
    auto *t = new QPlainTextEdit(parent);
    t->setObjectName(name);
    t->setGeometry(r);
    t->setToolTip(tip);
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

} // namespace Controls
