#pragma once
// The file beside a test that holds its TestCompanion: "Rivers.ard" keeps
// it in "Rivers.ard.access.json", UTF-8 JSON a teacher can read:
//
//   { "ardeno": "test companion", "version": 1, "language": "fr", "shuffle": true,
//     "questions": [ { "number": 3, "media": "nile.jpg",
//                      "description": "The Nile delta seen from space." } ] }
//
// A description belongs to a question's media, so each names the media
// file it describes: read back, it goes to that question, or (when the test
// was reordered by another program) to the one question naming that file,
// and never to a question showing something else.

#include "document/TestCompanion.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace CompanionFile {
// Larger than any companion of 100 questions: anything above is not one.
inline constexpr qint64 MaxBytes = 4 << 20;

QString pathFor(const QString &testPath);

// The file's bytes for a test of these records; empty when there is
// nothing to keep (no language, no shuffle, no description of a question
// with media).
QByteArray bytes(const TestCompanion &companion, const QStringList &records);

// Puts `bytes` beside the test at testPath, replacing the file whole; empty
// bytes remove an old one (it would describe what the test no longer
// shows). False with the system's reason.
bool keepBeside(const QString &testPath, const QByteArray &bytes, QString *reason);

struct Read {
    TestCompanion companion;   // descriptions as many as the records
    QString problem;           // why the file was not used; "" when it was, or there is none
};
Read parse(const QByteArray &bytes, const QStringList &records);
// The companion beside the test at testPath: none is no problem; a link,
// a special file, a file too large or not a companion is not used (the
// problem says why).
Read readBeside(const QString &testPath, const QStringList &records);
}
