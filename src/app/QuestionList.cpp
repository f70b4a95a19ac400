#include "app/QuestionList.h"

#include "app/QuestionListWidth.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QMouseEvent>

QuestionList::QuestionList(QWidget *parent) : QComboBox(parent)
{
    setObjectName(QStringLiteral("cboExist"));
    setToolTip(QStringLiteral("Question List"));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Typing into the text line would only unselect the item being edited.
    lineEdit()->setReadOnly(true);
    lineEdit()->installEventFilter(this);
    installEventFilter(this);
    setEditText(QStringLiteral("No Questions Yet"));
    view()->setTextElideMode(Qt::ElideRight);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &QuestionList::fitPopup);
    connect(model(), &QAbstractItemModel::modelReset, this, &QuestionList::fitPopup);
}

void QuestionList::fitPopup()
{
    QStringList captions;
    for (int i = 0; i < count(); ++i)
        captions << itemText(i);
    view()->setMinimumWidth(questionListWidth(QFontMetrics(view()->font()), captions, width()));
}

void QuestionList::setListText(const QString &text)
{
    const QSignalBlocker block(this);
    const int index = text.isEmpty() ? -1 : findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(index);
    setEditText(text);
    lineEdit()->setCursorPosition(0);   // show the start of a long question
}

void QuestionList::fill(const QStringList &captions)
{
    {
        const QSignalBlocker block(this);
        clear();
        addItems(captions);
    }
    update();
}

void QuestionList::empty()
{
    const QSignalBlocker block(this);
    clear();
}

bool QuestionList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::Wheel && !hasFocus()) {
        event->ignore();
        return true;
    }
    // It opens on the release: opened on the press, the release that follows
    // would close it again.
    if (watched == lineEdit() && isEnabled()) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            setFocus(Qt::MouseFocusReason);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            showPopup();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}
