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
}
