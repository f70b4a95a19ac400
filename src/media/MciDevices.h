#pragma once
// The device layer: executes the media command strings the media player
// sends, with the meanings of the Windows Media Control Interface, on top of
// FFmpeg (videos, MP3) and FluidSynth (MIDI).
//
// Accepted commands (keywords in any letter case; numbers may carry a sign
// and extra blanks before them):
//   open <type>!<file> alias <alias>      type: AVIvideo, MPEGvideo, sequencer;
//                                          the file may contain blanks or be
//                                          in double quotes. Returns when the
//                                          file's streams are known and its
//                                          first picture decoded. Without
//                                          "<type>!" the type follows the
//                                          file's media kind.
//   window <alias> handle <n>             n from registerWindow()
//   capability <alias> can stretch        reply "true" or "false"
//   where <alias> source                  reply "0 0 W H" (the video's size;
//                                          a tune: "0 0 0 0")
//   put <alias> destination at X Y W H    place the video inside the window
//   play <alias> [wait]                   start playing, return at once
//                                          (with wait: when it has ended)
//   stop <alias>                          stop playing (stays open)
//   status <alias> mode                   reply "playing", "stopped", ...
//   close <alias> | close all             stop and close
// Every command returns 0 or a non-zero error code (the MCI numbers below)
// and a reply of at most 127 characters (empty on failure).

#include "media/MciError.h"

#include <QString>
#include <functional>

class QWidget;

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

// Calls `observer` with every command and its reply after it ran (tests and
// diagnostics); an empty function ends that.
void setCommandObserver(std::function<void(const QString &command, const MciReply &reply)> observer);

} // namespace MciDevices
