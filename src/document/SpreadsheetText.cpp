#include "document/SpreadsheetText.h"

#include <QRegularExpression>

namespace {
bool startsFormula(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^-?(\\d+(\\.\\d+)?)?$"));
    return !text.isEmpty() && QStringLiteral("=+-@\t\r\n").contains(text.front()) && !number.match(text).hasMatch();
}

// Also a text the teacher began with apostrophes before a formula's sign:
// one more keeps it apart from a guard of ours.
bool needsGuard(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char('\''))
        ++i;
    return startsFormula(text.mid(i));
}
}

namespace SpreadsheetText {
QString guarded(const QString &text)
{
    return needsGuard(text) ? QLatin1Char('\'') + text : text;
}

QString unguarded(const QString &text)
{
    return text.startsWith(QLatin1Char('\'')) && needsGuard(text.mid(1)) ? text.mid(1) : text;
}

QString cell(const QString &text)
{
    QString t = guarded(text);
    static const QRegularExpression split(QStringLiteral("[,;\t\"\r\n]"));
    if (t.contains(split) || t != t.trimmed())
        t = QLatin1Char('"') + t.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    return t;
}
}
