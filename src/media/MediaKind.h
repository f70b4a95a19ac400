#pragma once
// The kind of a media file, which decides how the editor, the preview and
// the device layer play it.

#include <QString>

// The kind of a media file, decided by its extension alone (never its
// contents).
enum class MediaKind { None, Picture, Wave, Avi, Mpeg, Midi, Mp3 };

// The extension of a path: the text after the FIRST "." of the whole path
// (folders included), or the whole path when it has no ".". So
// "/home/My.Files/song.wav" has the extension "Files/song.wav".
QString mediaExtensionOf(const QString &path);

// bmp, jpg, jpeg, wmf: Picture; wav: Wave; avi: Avi; mpg, mpeg: Mpeg;
// mid, midi: Midi; mp3: Mp3; anything else: None. Case-insensitive.
MediaKind mediaKindOf(const QString &path);

// "picture", "wave", "avi", "mpeg", "midi", "mp3" or "none".
QString mediaKindName(MediaKind kind);
