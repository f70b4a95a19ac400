#include "dlgAsk.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

bool dlgAsk::DontAskAgain = false;
bool dlgAsk::LeaveConfirmed = false;

namespace {
QPointer<dlgAsk> openDialog;

// Positions come in twips; at 96 dpi 15 twips make a pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}
}

dlgAsk::dlgAsk(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgAsk"));
    setWindowTitle(QStringLiteral("Leaving Edit Mode"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(3690 / 15, 1335 / 15);
    // Drawn with the editor's 8-point MS Sans Serif; a dialog does not take
    // its owner's font, and the desktop's larger one cuts the question off.
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    setFont(f);

    Label1 = new QLabel(QStringLiteral("You are leaving Edit Mode.  Any unsaved changes to questions will be lost."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(twips(120, 120, 2175, 735));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(twips(2520, 240, 975, 375));
    OKButton->setDefault(true);

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(twips(2520, 840, 975, 375));

    chkAsk = new QCheckBox(QStringLiteral("Don't ask again."), this);
    chkAsk->setObjectName(QStringLiteral("chkAsk"));
    chkAsk->setGeometry(twips(120, 840, 2295, 375));

    connect(OKButton, &QPushButton::clicked, this, &dlgAsk::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgAsk::CancelButton_Click);
    connect(chkAsk, &QCheckBox::clicked, this, &dlgAsk::chkAsk_Click);

    openDialog = this;
    Form_Load();
}

dlgAsk::~dlgAsk() = default;

dlgAsk *dlgAsk::instance() { return openDialog.data(); }

void dlgAsk::Form_Load()
{
    LeaveConfirmed = true;
}

void dlgAsk::OKButton_Click()
{
    LeaveConfirmed = true;
    accept();
}

void dlgAsk::CancelButton_Click()
{
    LeaveConfirmed = false;
    reject();
}

void dlgAsk::chkAsk_Click()
{
    DontAskAgain = chkAsk->isChecked();
}

// Esc is the Cancel button; the close box leaves LeaveConfirmed as Form_Load
// set it, so it counts as OK.
void dlgAsk::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CancelButton_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool dlgAsk::ask(QWidget *parent)
{
    dlgAsk dialog(parent);
    dialog.exec();
    return LeaveConfirmed;
}
