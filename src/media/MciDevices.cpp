// Stub; the real device layer follows.
#include "MciDevices.h"

#include <QWidget>

namespace MciDevices {
MciReply send(const QString &) { return {MciError::UnrecognizedCommand, {}}; }
int sendString(const QString &command, QString *reply)
{
    const MciReply r = send(command);
    if (r.code == 0 && reply)
        *reply = r.text;
    return r.code;
}
QString errorText(int) { return QString(); }
int registerWindow(QWidget *) { return 0; }
QWidget *windowForHandle(int) { return nullptr; }
}
