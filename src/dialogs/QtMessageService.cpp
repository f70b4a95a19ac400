#include "dialogs/QtMessageService.h"

#include "dialogs/OwnerWindow.h"

#include <QApplication>
#include <QMessageBox>

MsgResult QtMessageService::show(const MessageRequest &request)
{
    auto *owner = qobject_cast<QWidget *>(request.owner);
    QMessageBox box(owner ? owner : ownerWindow());
    box.setWindowTitle(request.title);
    // Messages are plain texts; an answer such as "<p>" quoted in one is
    // shown as typed, not taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(request.text);
    switch (request.icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    switch (request.buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default: return MsgResult::Ok;
    }
}
