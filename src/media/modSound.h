#pragma once
// The media player: the routines
// that play wave sounds, MIDI and MP3 tunes and AVI and MPEG videos.
//
// All routines run on the GUI thread and return at once, except PlayWave and
// PlayResourceSound in the "sync" mode, which return when the sound has ended
// (the window keeps painting but takes no user input meanwhile).
//
// Videos and tunes play through the device layer (MciDevices.h) under the
// fixed aliases "movie" and "song". They stay open after they end, until
// CloseAll(); a second video or tune can only be opened after CloseAll(), so
// callers run CloseAll() before they start another media file and when their
// window closes.
//
// Opening a video or tune reads the file's headers and decodes its first
// picture or sound (a few milliseconds; the first one also loads the decoder
// module) without running the event loop. Should a routine still be called
// while another is in progress (from a timer of the caller), it runs right
// after that one, so the calls keep their order.
//
// Without a sound server or sound card everything still returns promptly and
// plays nothing audible; a "sync" sound then returns after its own length.

#include "document/FileKind.h"

#include <QString>

class QByteArray;
class QWidget;

// Plays a wave file. mode "sync" (any letter case) waits until the sound has
// ended; any other word returns at once. A new sound replaces a wave sound
// still playing (CloseAll does not stop it). A missing or unreadable file
// plays nothing and shows nothing.
void PlayWave(const QString &path, const QString &mode);

// The complete RIFF WAVE bytes of built-in sound 101 or 102 (empty for any
// other id). Loaded once and kept for the life of the program.
QByteArray resourceSoundData(int id);

// Plays one of the two built-in answer sounds: 101 the right-answer chime,
// 102 the wrong-answer buzz. mode as for PlayWave. Unknown ids play nothing.
void PlayResourceSound(int id, const QString &mode);

// Plays an AVI video inside pictureBox (any QWidget; it is registered with
// the device layer on first use). With stretch on, a video larger than the
// box in both directions fills the box; otherwise it is centred at its own
// size and clipped by the box. Returns at once; the video plays on.
// Failure: CloseAll(), then "Error playing AVI" (critical icon) through
// MsgBox. A missing file fails this way.
void PlayAVI(const QString &path, QWidget *pictureBox, bool stretch);

// As PlayAVI for MPEG videos, except that with stretch on the video always
// fills the whole box. Failure message "Error playing MPEG".
void PlayMPEG(const QString &path, QWidget *pictureBox, bool stretch);

// Plays a MIDI tune (alias "song"). Returns at once. A file that cannot be
// opened stays silent without a message.
void PlayMIDI(const QString &path);

// Plays an MP3 tune (alias "song"). Returns at once. A file that cannot be
// opened stays silent without a message.
void PlayMP3(const QString &path);

// Stops and closes every video and tune. Does not stop a wave sound.
void CloseAll();

// The short form of an existing path, which on this platform is the path
// itself; "error" when the file does not exist.
QString GetShortName(const QString &path);
