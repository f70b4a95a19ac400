#pragma once
// The kind of a file, decided by its name alone (never its contents): the
// text after the first full stop of the name, the part after the last folder
// separator. So "/home/anna.berg/europe.ard" is a test ("ard") and
// "quiz.v2.ard" is not (its kind is "v2.ard"). Every place that tells tests,
// score logs and media files apart asks here.

#include <QString>

// The text after the first "." of the file's name; the whole name when it
// has none.
QString fileKindOf(const QString &path);

// True when fileKindOf(path) is kind, in any letter case.
bool hasFileKind(const QString &path, const QString &kind);

// Copy `n` of a file name (n >= 2), its kind kept: "cat.bmp" gives
// "cat-2.bmp", "map.v2.jpg" gives "map-2.v2.jpg"; copy 1 is the name itself.
QString numberedName(const QString &name, int n);

// Question exchange files are ours, not the quiz player's: their names often
// hold full stops of their own ("Unit 3.1.gift"), so their format is named by
// the text after the last full stop, in lower case ("" without one).
QString exchangeSuffixOf(const QString &path);

enum class MediaKind { None, Picture, Wave, Avi, Mpeg, Midi, Mp3 };

// bmp, jpg, jpeg, wmf: Picture; wav: Wave; avi: Avi; mpg, mpeg: Mpeg;
// mid, midi: Midi; mp3: Mp3; anything else: None. Case-insensitive.
MediaKind mediaKindOf(const QString &path);

// "picture", "wave", "avi", "mpeg", "midi", "mp3" or "none".
QString mediaKindName(MediaKind kind);
