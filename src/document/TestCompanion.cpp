#include "document/TestCompanion.h"

#include <QRegularExpression>

QString TestCompanion::description(int number) const
{
    return number >= 1 && number <= descriptions.size() ? descriptions[number - 1] : QString();
}

bool TestCompanion::isEmpty() const
{
    if (!language.isEmpty() || shuffle)
        return false;
    for (const QString &d : descriptions)
        if (!d.isEmpty())
            return false;
    return true;
}

bool TestCompanion::operator==(const TestCompanion &other) const
{
    if (language != other.language || shuffle != other.shuffle)
        return false;
    const qsizetype n = std::max(descriptions.size(), other.descriptions.size());
    for (int i = 1; i <= n; ++i)
        if (description(i) != other.description(i))
            return false;
    return true;
}

QString TestCompanion::cleanDescription(const QString &text)
{
    QString kept = text.simplified();
    // Control characters have no place in a text a page speaks.
    kept.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    if (kept.size() > MaxDescription) {
        kept.truncate(MaxDescription);
        if (kept.back().isHighSurrogate())
            kept.chop(1);
    }
    return kept.trimmed();
}

QString TestCompanion::cleanLanguage(const QString &tag)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z]{2,3}(-[A-Za-z0-9]{1,8})*$"));
    QString t = tag.trimmed();
    t.replace(QLatin1Char('_'), QLatin1Char('-'));
    return t.size() <= 35 && shape.match(t).hasMatch() ? t : QString();
}
