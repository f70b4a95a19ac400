#pragma once
#include "platform/MessageService.h"

// Shows messages as modal QMessageBoxes owned by, and centred over, the
// window the user is working in (OwnerWindow.h).
class QtMessageService : public MessageService {
public:
    MsgResult show(const MessageRequest &request) override;
};
