#include "document/LanguageNames.h"

#include "document/TestCompanion.h"

#include <QLocale>
#include <QMap>
#include <QRegularExpression>
#include <optional>

namespace {
// English name to tag, for every language Qt has a locale of.
const QMap<QString, QString> &namesToTags()
{
    static const QMap<QString, QString> names = [] {
        QMap<QString, QString> m;
        for (int l = QLocale::Abkhazian; l <= QLocale::LastLanguage; ++l) {
            const auto language = QLocale::Language(l);
            const QString tag = QLocale::languageToCode(language, QLocale::ISO639Part1 | QLocale::ISO639Part2);
            const QString name = QLocale::languageToString(language);
            if (!tag.isEmpty() && !name.isEmpty() && !TestCompanion::cleanLanguage(tag).isEmpty())
                m.insert(name, tag);
        }
        return m;
    }();
    return names;
}

QString line(const QString &name, const QString &tag)
{
    return QStringLiteral("%1 (%2)").arg(name, tag);
}
}

QStringList LanguageNames::choices()
{
    QStringList out;
    const auto &names = namesToTags();
    for (auto it = names.begin(); it != names.end(); ++it)
        out << line(it.key(), it.value());
    return out;
}

QString LanguageNames::choiceOf(const QString &tag)
{
    if (tag.isEmpty())
        return QString();
    const QString primary = tag.section(QLatin1Char('-'), 0, 0);
    const auto &names = namesToTags();
    for (auto it = names.begin(); it != names.end(); ++it)
        if (it.value().compare(primary, Qt::CaseInsensitive) == 0)
            return line(it.key(), tag);
    return tag;
}

std::optional<QString> LanguageNames::tagOf(const QString &text)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return QString();
    static const QRegularExpression bracketed(QStringLiteral("\\(([^()]*)\\)$"));
    if (const QRegularExpressionMatch m = bracketed.match(typed); m.hasMatch()) {
        const QString tag = TestCompanion::cleanLanguage(m.captured(1));
        return tag.isEmpty() ? std::nullopt : std::optional<QString>(tag);
    }
    const auto &names = namesToTags();
    for (auto it = names.begin(); it != names.end(); ++it)
        if (it.key().compare(typed, Qt::CaseInsensitive) == 0)
            return it.value();
    const QString tag = TestCompanion::cleanLanguage(typed);
    return tag.isEmpty() ? std::nullopt : std::optional<QString>(tag);
}
