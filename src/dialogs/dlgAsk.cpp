#include "dialogs/dlgAsk.h"
#include "widgets/Twips.h"
#include "widgets/WindowFont.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

bool dlgAsk::DontAskAgain = false;
bool dlgAsk::LeaveConfirmed = false;

namespace {
QPointer<dlgAsk> openDialog;
}

dlgAsk::dlgAsk(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgAsk"));
    setWindowTitle(QStringLiteral("Leaving Edit Mode"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(Twips::toPixels(3690), Twips::toPixels(1335));
    // Drawn with the editor's 8-point MS Sans Serif; a dialog does not take
    // its owner's font, and the desktop's larger one cuts the question off.
    setFont(WindowFont::sansSerif(8));

    Label1 = new QLabel(QStringLiteral("You are leaving Edit Mode.  Any unsaved changes to questions will be lost."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(Twips::rect(120, 120, 2175, 735));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Twips::rect(2520, 240, 975, 375));
    OKButton->setDefault(true);

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips::rect(2520, 840, 975, 375));

    chkAsk = new QCheckBox(QStringLiteral("Don't ask again."), this);
    chkAsk->setObjectName(QStringLiteral("chkAsk"));
    chkAsk->setGeometry(Twips::rect(120, 840, 2295, 375));

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
