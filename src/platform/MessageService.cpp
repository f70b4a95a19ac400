#include "platform/MessageService.h"

#include <cstdio>

MsgResult ConsoleMessageService::show(const MessageRequest &request)
{
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    switch (request.buttons) {
    case MsgButtons::YesNo: return MsgResult::Yes;
    default: return MsgResult::Ok;
    }
}
