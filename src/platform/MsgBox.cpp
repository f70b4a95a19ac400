#include "platform/MsgBox.h"

#include "platform/Platform.h"

MsgResult MsgBox(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title)
{
    MessageRequest request;
    request.text = text;
    request.icon = icon;
    request.buttons = buttons;
    request.title = title.isEmpty() ? kAppTitle : title;
    return Platform::messages().show(request);
}
