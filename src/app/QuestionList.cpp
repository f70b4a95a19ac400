#include "app/QuestionList.h"

#include "app/QuestionListWidth.h"
#include "document/DocumentEditor.h"
#include "widgets/NumberedItemDelegate.h"

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
    setAccessibleName(QStringLiteral("Question List"));
    lineEdit()->setAccessibleName(QStringLiteral("Question List"));
    lineEdit()->installEventFilter(this);
    installEventFilter(this);
    setEditText(QStringLiteral("No Questions Yet"));
    view()->setTextElideMode(Qt::ElideRight);
    // The list shows each question's number before its text.
    view()->setItemDelegate(new NumberedItemDelegate(view()));
}

void QuestionList::follow(const DocumentEditor &editing)
{
    // No change of the items picks a question: only the teacher's choice does.
    connect(&editing, &DocumentEditor::questionInserted, this, [this, &editing](int number) {
        insertItem(number - 1, editing.document().caption(number));
    });
    connect(&editing, &DocumentEditor::questionReplaced, this, [this, &editing](int number) {
        setItemText(number - 1, editing.document().caption(number));
    });
    connect(&editing, &DocumentEditor::questionRemoved, this, [this](int number) { removeItem(number - 1); });
    connect(&editing, &DocumentEditor::documentReset, this,
            [this, &editing] { fill(editing.document().captions()); });
    fill(editing.document().captions());
}

// Measured when it opens, not per inserted row: a test of a hundred long
// questions fills the list at once.
void QuestionList::showPopup()
{
    QStringList captions;
    for (int i = 0; i < count(); ++i)
        captions << NumberedItemDelegate::numbered(i, itemText(i));
    view()->setMinimumWidth(questionListWidth(QFontMetrics(view()->font()), captions, width()));
    QComboBox::showPopup();
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
