#pragma once
// Which files may travel with a test. Saving, importing, every export and the
// web page take a question's media file along (copy it beside a file,
// embed it, put it into a page); a test or question file made by someone
// else must not make them carry a private or special file (a key, a
// password file, /proc/self/environ, a device) into a shared folder or onto
// a learning platform. One rule, asked by all of them:
//
// - a regular file, after following links to the end (a pipe, a device or a
//   folder is refused, and so is a link that leads to one);
// - of a media kind by its name (the name the test knows it by);
// - and by its content's signature: RIFF WAVE, MThd, an MP3 frame or ID3
//   tag, RIFF AVI, an MPEG pack or sequence header, BMP, JPEG, or a
//   metafile's placeable or standard header;
// - no larger than the program reads for that kind.
//
// Every reason is a sentence part without the file's name ("not a media
// file: its content is not a picture").

#include "document/FileKind.h"
#include "platform/OpenFile.h"

#include <QByteArray>
#include <QString>

// A wave sound of more bytes than this (over half an hour of CD sound) is
// not read: no quiz question plays that long.
constexpr qint64 kMaxWaveBytes = 320 * 1024 * 1024;

namespace MediaAdmission {

// The largest media file of the kind the program takes along.
qint64 maxBytes(MediaKind kind);

// Why the bytes (the start of a file, at least its first 4 KB when it is
// that long, of `fileSize` bytes in all; -1: the bytes are the whole file)
// are not media of the kind `name` says; "" when they are.
QString refusalOfContent(const QString &name, const QByteArray &head, qint64 fileSize = -1);

// The file at `path`, known in the test as `name` (its own name when
// empty), opened once and admitted on that handle: every later use (a copy,
// a conversion, a page) reads through it, so the name swapped for a link to
// a private file afterwards changes nothing. Null with the reason when it
// may not travel with the test.
OpenFilePtr admit(const QString &path, QString *reason, const QString &name = QString());

// Why the open file, known in the test as `name`, may not travel; "" when
// it may. Asked of a file opened once (beneath a bank's folder), which every
// later use then reads.
QString refusalOf(const OpenFile &file, const QString &name);

// Why the file at `path` (known as `name`) may not travel; "" when it may.
QString refusal(const QString &path, const QString &name = QString());

// Copies an admitted file to `target` through the checked writer (whole or
// not at all), as a new file: an entry already at `target` (a dangling link
// too) is never replaced or written through. The copy gets at most the
// source's permission bits, so a file only its owner may read stays that
// way. False with the reason when the file is refused or the copy fails.
bool copy(const QString &path, const QString &target, QString *reason, const QString &name = QString());
bool copy(const OpenFile &file, const QString &target, QString *reason);

// True when the file at `path` (an entry of an output folder, never a link
// there: a link is no file of that folder) holds the same bytes: sizes
// first, then blocks, never a whole file in memory.
bool sameContent(const QString &path, const OpenFile &file);
bool sameContent(const QString &path, const QByteArray &bytes);
bool sameContent(const OpenFile &existing, const OpenFile &file);
bool sameContent(const OpenFile &existing, const QByteArray &bytes);

}
