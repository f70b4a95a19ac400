#include "platform/Platform.h"

#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "platform/SettingsStore.h"
#include "platform/ShellService.h"

namespace {
// Headless defaults, so the core works in the command-line tool without setup.
ConsoleMessageService defaultMessages;
NullFileDialogService defaultDialogs;
QtSettingsStore defaultSettings;
QtShellService defaultShell;

MessageService *currentMessages = &defaultMessages;
FileDialogService *currentDialogs = &defaultDialogs;
SettingsStore *currentSettings = &defaultSettings;
ShellService *currentShell = &defaultShell;
}

namespace Platform {
MessageService &messages() { return *currentMessages; }
FileDialogService &fileDialogs() { return *currentDialogs; }
SettingsStore &settings() { return *currentSettings; }
ShellService &shell() { return *currentShell; }

void setMessages(MessageService *s) { currentMessages = s ? s : &defaultMessages; }
void setFileDialogs(FileDialogService *s) { currentDialogs = s ? s : &defaultDialogs; }
void setSettings(SettingsStore *s) { currentSettings = s ? s : &defaultSettings; }
void setShell(ShellService *s) { currentShell = s ? s : &defaultShell; }
}
