#pragma once
// The device layer: executes the media command strings the media player
// sends, with the meanings of the Windows Media Control Interface, on top of
// Qt Multimedia (videos, MP3) and FluidSynth (MIDI).
//
// Accepted commands (keywords in any letter case; numbers may carry a sign
// and extra blanks before them):
//   open <type>!<file> alias <alias>      type: AVIvideo, MPEGvideo, sequencer;
//                                          the file may contain blanks or be
//                                          in double quotes. Returns when the
//                                          file is ready to answer "where".
//   window <alias> handle <n>             n from registerWindow()
//   capability <alias> can stretch        reply "true" or "false"
//   where <alias> source                  reply "0 0 W H" (the video's size)
//   put <alias> destination at X Y W H    place the video inside the window
//   play <alias>                          start playing, return at once
//   stop <alias>                          stop playing (stays open)
//   status <alias> mode                   reply "playing", "stopped", ...
//   close <alias> | close all             stop and close
// Every command returns 0 or a non-zero error code (the MCI numbers below)
// and a reply of at most 127 characters (empty on failure).

#include <QString>

class QWidget;

namespace MciError {
enum : int {
    None = 0,
    InvalidDeviceName = 263,    // alias not open
    UnrecognizedCommand = 261,
    MissingParameter = 273,
    UnsupportedFunction = 274,
    FileNotFound = 275,
    DeviceTypeRequired = 287,
    DuplicateAlias = 289,
    BadInteger = 270,
    InvalidFile = 296,          // the file exists but cannot be decoded
    NoWindow = 346,             // the window handle names no window
    UnknownDeviceType = 266,    // cannot load driver
    ExtraCharacters = 305,
};
}

struct MciReply {
    int code = 0;
    QString text;   // at most 127 characters
};

namespace MciDevices {

// Executes one command string.
MciReply send(const QString &command);

// The same in the shape of mciSendString: returns the code and writes the
// reply into `reply` (left unchanged on failure).
int sendString(const QString &command, QString *reply);

// A short English description of an error code.
QString errorText(int code);

// The window handle of a widget for the "window ... handle" command. The same
// widget keeps its handle; the handle dies with the widget.
int registerWindow(QWidget *widget);

// The widget a handle names, or nullptr.
QWidget *windowForHandle(int handle);

} // namespace MciDevices
