#include "app/QuestionListPanel.h"

#include "app/QuestionList.h"
#include "widgets/Controls.h"
#include "widgets/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

QuestionListPanel::QuestionListPanel(QWidget *host, const DocumentEditor &editing, QObject *parent)
    : QObject(parent)
{
    lblEditMode = Controls::fittedLabel(host, QStringLiteral("lblEditMode"),
                                        QStringLiteral("'Edit Mode' ON click to return to  'Add Mode'"),
                                        Twips::rect(5880, 2640, 1815, 840));
    lblEditMode->resize(Twips::toPixels(1815), Twips::toPixels(840));
    lblEditMode->setToolTip(QStringLiteral("You are in EDIT MODE."));
    lblEditMode->setWordWrap(true);
    lblEditMode->setAlignment(Qt::AlignCenter);
    lblEditMode->setAutoFillBackground(true);
    QPalette palette = lblEditMode->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 192));
    palette.setColor(QPalette::WindowText, Qt::red);
    lblEditMode->setPalette(palette);
    QFont bold = lblEditMode->font();
    bold.setBold(true);
    lblEditMode->setFont(bold);
    lblEditMode->setCursor(Qt::PointingHandCursor);
    // A keyboard-only teacher reaches it by Tab and leaves edit mode with
    // Space or Enter, as a click does.
    lblEditMode->setFocusPolicy(Qt::StrongFocus);
    lblEditMode->setAccessibleName(QStringLiteral("Leave edit mode"));
    lblEditMode->installEventFilter(this);
    lblEditMode->hide();

    lblTitle2 = Controls::fittedLabel(host, QStringLiteral("lblTitle_2"), QStringLiteral("Existing Questions:"),
                                      Twips::rect(5880, 3600, 1335, 195));
    cboExist = new QuestionList(host);
    cboExist->setGeometry(Twips::rect(5880, 3840, 1815, 315));
    cboExist->follow(editing);
    cmdEdit = Controls::button(host, QStringLiteral("cmdEdit"), QStringLiteral("Save This Question"),
                               Twips::rect(5880, 4320, 1815, 375), QStringLiteral("Save the changes to this question."));
    cmdRemove = Controls::button(host, QStringLiteral("cmdRemove"), QStringLiteral("Remove This Question"),
                                 Twips::rect(5880, 4800, 1815, 375), QStringLiteral("Remove this existing question."));
    setEnabled(false, false, false);
    connect(cboExist, qOverload<int>(&QComboBox::activated), this, &QuestionListPanel::questionChosen);
    connect(cmdEdit, &QPushButton::clicked, this, &QuestionListPanel::saveClicked);
    connect(cmdRemove, &QPushButton::clicked, this, &QuestionListPanel::removeClicked);
}

void QuestionListPanel::setListText(const QString &text) { cboExist->setListText(text); }

void QuestionListPanel::showPicked(int listIndex)
{
    cboExist->setCurrentIndex(listIndex);
    cboExist->lineEdit()->setCursorPosition(0);
}

bool QuestionListPanel::focusList()
{
    if (!cboExist->isEnabled() || cboExist->count() == 0)
        return false;
    cboExist->setFocus(Qt::OtherFocusReason);
    return true;
}

void QuestionListPanel::showEditMode(bool on) { lblEditMode->setVisible(on); }

void QuestionListPanel::setEnabled(bool edit, bool remove, bool list)
{
    cmdEdit->setEnabled(edit);
    cmdRemove->setEnabled(remove);
    cboExist->setEnabled(list);
}

bool QuestionListPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblEditMode && event->type() == QEvent::MouseButtonRelease) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            emit editModeLabelClicked();
        return true;
    }
    if (watched == lblEditMode && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit editModeLabelClicked();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
