#pragma once
// The two files of a recovery copy. The test itself is an .ard in the very
// bytes Save writes (so it also opens by hand); beside it a small UTF-8
// description names that file with its size and SHA-256, and holds what an
// .ard cannot: the original path, the time of the last change, the entry
// area, and exact texts for characters Windows-1252 cannot store. The
// layout is described in the README ("If the program closes before you save").

#include "document/RecoverySnapshot.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace RecoveryFormat {
inline constexpr int Version = 1;

// The .ard bytes of the copy: media references stay as they are.
QByteArray testBytes(const EditorSnapshot &work);

// The description for a copy whose test is in testFileName with these bytes.
QByteArray descriptionBytes(const RecoveryCopy &copy, const QString &testFileName, const QByteArray &testBytes);

struct Description {
    QString testFileName;
    qint64 testSize = -1;
    QByteArray testSha256;   // hex
};

struct ReadResult {
    std::optional<RecoveryCopy> copy;
    QString error;           // why the copy cannot be used, when copy is empty
};

// Reads the description alone (to find the test file it names).
std::optional<Description> parseDescriptionHeader(const QByteArray &description, QString *error);

// Reads a whole copy from its description and the test bytes it names.
// Anything cut short, foreign, of a newer version or not matching its
// checksum is refused with a reason; nothing is ever returned half.
ReadResult parse(const QByteArray &description, const QByteArray &testBytes);
}
