#pragma once
#include "platform/MessageService.h"

// Shows messages as modal QMessageBoxes over the active window.
class QtMessageService : public MessageService {
public:
    MsgResult show(const MessageRequest &request) override;
};
