#include "document/Windows1252.h"

#include <QHash>

namespace {
// Unicode of the bytes 0x80..0x9F; the undefined codes map to themselves.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Byte for a character, or -1.
int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    static const QHash<char16_t, int> reverse = [] {
        QHash<char16_t, int> map;
        for (int i = 0; i < 32; ++i)
            map.insert(kHighTable[i], 0x80 + i);
        return map;
    }();
    return reverse.value(c, -1);
}
}

namespace Windows1252 {
QString decode(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = QChar(b >= 0x80 && b < 0xA0 ? kHighTable[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteFor(text[i].unicode());
        // A character outside the BMP is one character to the user: one '?'.
        if (b < 0 && text[i].isHighSurrogate() && i + 1 < text.size()
            && text[i + 1].isLowSurrogate())
            ++i;
        bytes += char(b < 0 ? '?' : b);
    }
    return bytes;
}

QString unencodable(const QString &text)
{
    QString found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (byteFor(text[i].unicode()) >= 0)
            continue;
        QString c(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c += text[++i];
        if (!found.contains(c))
            found += c;
    }
    return found;
}
}
