#pragma once
// The platform services the program runs on. Each is installed once (the
// editor installs the Qt ones at start, tests install doubles) and used
// through these accessors everywhere. Not owned: the installer keeps them.

class MessageService;
class FileDialogService;
class SettingsStore;
class ShellService;

namespace Platform {
MessageService &messages();
FileDialogService &fileDialogs();
SettingsStore &settings();
ShellService &shell();

void setMessages(MessageService *service);
void setFileDialogs(FileDialogService *service);
void setSettings(SettingsStore *store);
void setShell(ShellService *service);
}
