#include "exchange/SourceText.h"

#include "document/Windows1252.h"

#include <QStringDecoder>
#include <QUtf8StringView>

namespace SourceText {
bool isUtf8(const QByteArray &bytes)
{
    return QUtf8StringView(bytes).isValidUtf8();
}

QString decode(const QByteArray &bytes)
{
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    if (isUtf8(b))
        return QString::fromUtf8(b);
    return Windows1252::decode(b);
}

QString decode(QByteArrayView bytes, bool utf8)
{
    return utf8 ? QString::fromUtf8(bytes) : Windows1252::decode(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

qsizetype utf16Length(QByteArrayView utf8)
{
    qsizetype n = 0;
    for (const char c : utf8) {
        const auto b = uchar(c);
        if ((b & 0xC0) != 0x80)
            ++n;
        if (b >= 0xF0)
            ++n;   // outside the basic plane: two UTF-16 characters
    }
    return n;
}

LineKind kindOf(QByteArrayView line, bool utf8)
{
    constexpr qsizetype kDecoded = 4096;
    if (line.size() <= kDecoded) {
        const QString text = decode(line, utf8);
        const QStringView trimmed = QStringView(text).trimmed();
        return trimmed.isEmpty() ? LineKind::Blank
               : trimmed.startsWith(QLatin1String("//")) ? LineKind::Comment
                                                         : LineKind::Text;
    }
    // A long line: only ASCII white space counts before its first sign.
    qsizetype i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\v' || line[i] == '\f'))
        ++i;
    if (i == line.size())
        return LineKind::Blank;
    return line.sliced(i).startsWith("//") ? LineKind::Comment : LineKind::Text;
}

int firstBinaryLine(QByteArrayView bytes)
{
    int line = 1;
    for (const char c : bytes) {
        const auto b = uchar(c);
        if (b == '\n')
            ++line;
        else if (b < 0x20 && b != '\r' && b != '\t' && b != '\f')
            return line;
    }
    return 0;
}

QStringList lines(const QString &text)
{
    QStringList result;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        result << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        result << text.mid(start);
    return result;
}

int firstBinaryLine(const QString &text)
{
    int line = 1;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\n')
            ++line;
        else if (u < 0x20 && u != '\r' && u != '\t' && u != '\f')
            return line;
    }
    return 0;
}

QString withRecordLineBreaks(const QString &text)
{
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            out += QStringLiteral("\r\n");
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString oneLine(const QString &text)
{
    return lines(text).join(QLatin1Char(' ')).trimmed();
}
}
