#include "exchange/TextFormat.h"

#include "exchange/HtmlText.h"
#include "exchange/SourceText.h"

namespace {
QString withoutEdgeBlanks(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && (s[b] == QLatin1Char(' ') || s[b] == QLatin1Char('\t')))
        ++b;
    while (e > b && (s[e - 1] == QLatin1Char(' ') || s[e - 1] == QLatin1Char('\t')))
        --e;
    return s.mid(b, e - b);
}
}

QString plainTextOf(const QString &text, TextFormat format)
{
    const QString lines = SourceText::withRecordLineBreaks(text);
    switch (format) {
    case TextFormat::Moodle:
        return HtmlText::toPlain(QString(lines).replace(QStringLiteral("\r\n"), QStringLiteral("<br>")));
    case TextFormat::Html:
        return HtmlText::toPlain(lines);
    case TextFormat::Plain:
    case TextFormat::Markdown:
        break;
    }
    return withoutEdgeBlanks(lines);
}

std::optional<TextFormat> textFormatNamed(QStringView name)
{
    const QString n = name.trimmed().toString().toLower();
    if (n == QLatin1String("moodle") || n == QLatin1String("moodle_auto_format"))
        return TextFormat::Moodle;
    if (n == QLatin1String("html"))
        return TextFormat::Html;
    if (n == QLatin1String("plain") || n == QLatin1String("plain_text"))
        return TextFormat::Plain;
    if (n == QLatin1String("markdown"))
        return TextFormat::Markdown;
    return std::nullopt;
}
