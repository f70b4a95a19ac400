#include "MessageService.h"
#include "Platform.h"

#include <cstdio>

MsgResult ConsoleMessageService::show(const MessageRequest &request)
{
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    switch (request.buttons) {
    case MsgButtons::YesNo: return MsgResult::Yes;
    default: return MsgResult::Ok;
    }
}

MsgResult MsgBox(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title)
{
    MessageRequest request;
    request.text = text;
    request.icon = icon;
    request.buttons = buttons;
    request.title = title.isEmpty() ? kAppTitle : title;
    return Platform::messages().show(request);
}
