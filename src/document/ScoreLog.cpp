#include "document/ScoreLog.h"

#include "document/LineCodec.h"
#include "platform/RegularFile.h"
#include "document/Windows1252.h"

namespace ScoreLog {
QString textFromBytes(const QByteArray &bytes)
{
    QString text;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    auto appendLine = [&](qsizetype end) {
        text += Windows1252::decode(LineCodec::logLine(bytes.mid(start, end - start)));
        text += QLatin1String("\r\n");
    };
    for (qsizetype i = 0; i < n; ++i) {
        if (bytes[i] != '\r')
            continue;
        appendLine(i);
        if (i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        appendLine(n);
    return text;
}

QString readText(const QString &path, QString *tooLarge)
{
    QString why;
    const QByteArray bytes = RegularFile::read(path, MaxLogBytes, &why);
    if (tooLarge)
        *tooLarge = why == RegularFile::tooLarge(MaxLogBytes) ? why : QString();
    return why.isEmpty() ? textFromBytes(bytes) : QString();
}

QString trimSpaces(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == QLatin1Char(' ')) ++b;
    while (e > b && text[e - 1] == QLatin1Char(' ')) --e;
    return text.mid(b, e - b);
}

QByteArray exportBytes(const QString &text)
{
    return Windows1252::encode(trimSpaces(text)) + "\r\n";
}
namespace {
struct ShownMark {
    QChar hidden;
    QChar mark;
};
constexpr ShownMark kMarks[] = {
    {QChar(0x0A), QChar(0x2193)},   // downwards arrow
    {QChar(0x00), QChar(0x25CB)},   // white circle
    {QChar(0x81), QChar(0x25A1)},   // white square
    {QChar(0x8D), QChar(0x25AA)},   // small black square
    {QChar(0x8F), QChar(0x25AB)},   // small white square
    {QChar(0x90), QChar(0x25AC)},   // black rectangle
    {QChar(0x9D), QChar(0x25CA)},   // lozenge
};
}

QString withMarks(const QString &text)
{
    QString t = text;
    for (const ShownMark &m : kMarks)
        t.replace(m.hidden, m.mark);
    return t;
}

QString withoutMarks(const QString &text)
{
    QString t = text;
    for (const ShownMark &m : kMarks)
        t.replace(m.mark, m.hidden);
    return t;
}

QString marks()
{
    QString all;
    for (const ShownMark &m : kMarks)
        all += m.mark;
    return all;
}

QString timeText(qint64 seconds)
{
    if (seconds <= 60)
        return QStringLiteral("%1 seconds").arg(seconds);
    return QStringLiteral("%1 minutes and %2 seconds").arg(seconds / 60).arg(seconds % 60);
}
}
