#pragma once
// The four desktop accessories of the Tools menu, in one table: the menu
// entry, its caption, the message shown when the accessory is missing, the
// Windows program, and on Linux the desktop programs that do the same job.

#include <QString>
#include <QStringList>
#include <vector>

struct Accessory {
    QString entry;            // menu entry object name, e.g. "mnuToolNotepad"
    QString caption;          // "&Notepad"
    QString message;          // "Notepad not found."
    QString windowsProgram;   // started by bare name on Windows
    QStringList programs;     // Linux stand-ins, tried in this order
    bool opensFolder = false; // file managers are given the folder to show
};

const std::vector<Accessory> &accessories();

// Starts the first of the row's programs found on the search path, detached.
// When none is found, shows the row's message (critical icon, title Ardenox)
// and returns false. A failure to start a found program is not reported.
// folder: what a file manager should show; empty means the home folder.
bool startAccessory(const Accessory &row, const QString &folder);
