#pragma once
// Test files and score logs are Windows-1252 bytes on every platform. These
// conversions are total in both directions for the 256 byte values: the five
// codes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) pass
// through as the C1 control of the same number, as Windows does.

#include <QByteArray>
#include <QString>

namespace Windows1252 {
QString decode(const QByteArray &bytes);

// Characters Windows-1252 cannot hold become '?' (one per character, also for
// one written as a surrogate pair). Callers that must not lose text silently
// check with unencodable() first.
QByteArray encode(const QString &text);

// The distinct characters of text that encode() would replace, in order of
// first appearance (a surrogate pair stays together).
QString unencodable(const QString &text);
}
