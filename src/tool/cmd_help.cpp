#include "tool/ToolCommand.h"

#include <cstdio>

static ToolCommandRegistration help({"help", "help", [](const QStringList &) {
    toolUsageError();
    return 0;
}});
