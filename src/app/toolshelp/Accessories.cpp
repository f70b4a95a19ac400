#include "app/toolshelp/Accessories.h"

#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "platform/ShellService.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

const std::vector<Accessory> &accessories()
{
    // On Linux there is no Notepad or Paint: each row lists the common
    // programs of the desktops that do that job, the lightest first. xdg-open
    // ends the file manager row, so any desktop's default one opens.
    static const std::vector<Accessory> table = {
        {QStringLiteral("mnuToolNotepad"), QStringLiteral("&Notepad"),
         QStringLiteral("Notepad not found."), QStringLiteral("notepad.exe"),
         {QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
          QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("pluma"),
          QStringLiteral("xed"), QStringLiteral("featherpad"), QStringLiteral("leafpad")}},
        {QStringLiteral("mnuToolSoundRecorder"), QStringLiteral("&Sound Recorder"),
         QStringLiteral("Sound Recorder not found."), QStringLiteral("sndrec32.exe"),
         {QStringLiteral("gnome-sound-recorder"), QStringLiteral("krecorder"),
          QStringLiteral("audio-recorder"), QStringLiteral("audacity")}},
        {QStringLiteral("mnuToolPaint"), QStringLiteral("&MS Paint"),
         QStringLiteral("MS Paint not found."), QStringLiteral("pbrush.exe"),
         {QStringLiteral("kolourpaint"), QStringLiteral("pinta"), QStringLiteral("drawing"),
          QStringLiteral("mtpaint"), QStringLiteral("gimp")}},
        {QStringLiteral("mnuToolExplorer"), QStringLiteral("&Windows Explorer"),
         QStringLiteral("Explorer not found."), QStringLiteral("Explorer"),
         {QStringLiteral("nautilus"), QStringLiteral("dolphin"), QStringLiteral("nemo"),
          QStringLiteral("caja"), QStringLiteral("thunar"), QStringLiteral("pcmanfm-qt"),
          QStringLiteral("pcmanfm"), QStringLiteral("xdg-open")},
         true},
    };
    return table;
}

#ifdef Q_OS_WIN
// Every row tests the shell program in the Windows directory, not the program
// it starts; the program itself is then found by the system's search path.
static bool shellProgramPresent()
{
    char buffer[200] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    const QString dir = QString::fromLocal8Bit(buffer, int(length < sizeof buffer ? length : 0));
    // With no Windows directory the test looks at the root of the current drive.
    const QString path = dir.isEmpty() ? QDir::rootPath() + QStringLiteral("Explorer.exe")
                                       : dir + QStringLiteral("\\Explorer.exe");
    return QFileInfo::exists(path);
}

bool startAccessory(const Accessory &row, const QString &)
{
    if (!shellProgramPresent()) {
        MsgBox(row.message, MsgIcon::Critical);
        return false;
    }
    Platform::shell().startDetached(row.windowsProgram, {});
    return true;
}
#else
bool startAccessory(const Accessory &row, const QString &folder)
{
    for (const QString &name : row.programs) {
        const QString path = Platform::shell().findExecutable(name);
        if (path.isEmpty())
            continue;
        QStringList arguments;
        if (row.opensFolder)
            arguments << (folder.isEmpty() ? QDir::homePath() : folder);
        Platform::shell().startDetached(path, arguments);
        return true;
    }
    MsgBox(row.message, MsgIcon::Critical);
    return false;
}
#endif
