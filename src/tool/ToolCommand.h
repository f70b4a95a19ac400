#pragma once
// ardeno-tool subcommands. Each cmd_*.cpp registers its commands with a
// static ToolCommandRegistration; main.cpp looks them up by name.

#include <QStringList>
#include <functional>

struct ToolCommand {
    const char *name;
    const char *usage;   // one line, after "ardeno-tool "
    // Arguments after the command name; returns the exit status
    // (0 success, 1 failure, 2 bad arguments).
    std::function<int(const QStringList &args)> run;
};

struct ToolCommandRegistration {
    explicit ToolCommandRegistration(ToolCommand command);
};

// Exit status for bad arguments: prints the usage of every command to stderr.
int toolUsageError();
