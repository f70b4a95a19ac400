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

qint64 bomLength(const Parts &parts)
{
    return parts(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
}

Survey survey(const Parts &parts, qint64 from)
{
    Survey s;
    QByteArray carry;
    int line = 1;
    for (qint64 at = from;; at += PartSize) {
        QByteArray part = parts(at, PartSize);
        if (part.isEmpty())
            break;
        if (const int bad = firstBinaryLine(QByteArrayView(part)); bad && !s.binaryLine)
            s.binaryLine = line + bad - 1;
        line += int(part.count('\n'));
        if (!s.utf8)
            continue;
        part.prepend(carry);
        carry.clear();
        // A character begun in the last three bytes and not ended waits.
        for (qsizetype back = 1; back <= 3 && back <= part.size(); ++back) {
            const auto b = uchar(part[part.size() - back]);
            if ((b & 0xC0) == 0x80)
                continue;
            const int length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            if (length > back) {
                carry = part.right(back);
                part.chop(back);
            }
            break;
        }
        s.utf8 = QUtf8StringView(part).isValidUtf8();
    }
    s.utf8 = s.utf8 && carry.isEmpty();
    return s;
}

QString decode(const Parts &parts)
{
    const qint64 from = bomLength(parts);
    const bool utf8 = survey(parts, from).utf8;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text;
    for (qint64 at = from;; at += PartSize) {
        const QByteArray part = parts(at, PartSize);
        if (part.isEmpty())
            break;
        text += utf8 ? decoder.decode(part) : Windows1252::decode(part);
    }
    return text;
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
