#pragma once
#include "platform/MessageService.h"

// Shows a message through the installed service. An empty title becomes
// the application title.
MsgResult MsgBox(const QString &text, MsgIcon icon = MsgIcon::None,
                 MsgButtons buttons = MsgButtons::Ok, const QString &title = QString());
