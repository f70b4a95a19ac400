#include "frmLog.h"

#include <QPlainTextEdit>

QString frmLog::StartupLog;
QPointer<frmLog> frmLog::s_instance;

frmLog *frmLog::showLog(QWidget *owner)
{
    if (!s_instance)
        s_instance = new frmLog(owner);
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

frmLog *frmLog::instance() { return s_instance; }

frmLog::frmLog(QWidget *owner) : QMainWindow(owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmLog"));
    setWindowTitle(QStringLiteral("View Score Logs"));
    txtLog = new QPlainTextEdit(this);
    txtLog->setObjectName(QStringLiteral("txtLog"));
    setCentralWidget(txtLog);
}

frmLog::~frmLog() = default;

QString frmLog::shownText() const { return fromDisplay(txtLog->document()->toRawText()); }
void frmLog::setShownText(const QString &text) { txtLog->setPlainText(toDisplay(text)); }
QString frmLog::toDisplay(const QString &t) { return t; }
QString frmLog::fromDisplay(const QString &t) { return t; }
void frmLog::OpenThisLog() {}
void frmLog::mnuOpen_Click() {}
void frmLog::mnuSave_Click() {}
void frmLog::mnuPrint_Click() {}
void frmLog::mnuExit_Click() { close(); }
void frmLog::mnuEditUndo_Click() { txtLog->undo(); }
void frmLog::mnuEditCut_Click() { txtLog->cut(); }
void frmLog::mnuEditCopy_Click() { txtLog->copy(); }
void frmLog::mnuEditPaste_Click() { txtLog->paste(); }
void frmLog::Form_Load() {}
void frmLog::insertAtCaret(const QString &) {}
void frmLog::caretToStart() {}
