#include "exchange/QuestionFormatRegistry.h"

#include "exchange/AikenFormat.h"
#include "exchange/ArdFormat.h"
#include "exchange/CsvFormat.h"
#include "exchange/GiftFormat.h"
#include "exchange/MoodleXmlFormat.h"

QuestionFormatRegistry &QuestionFormatRegistry::instance()
{
    static QuestionFormatRegistry registry;
    return registry;
}

QuestionFormatRegistry::QuestionFormatRegistry()
{
    add(std::make_unique<ArdFormat>());
    add(std::make_unique<GiftFormat>());
    add(std::make_unique<AikenFormat>());
    add(std::make_unique<MoodleXmlFormat>());
    add(std::make_unique<CsvFormat>());
}

void QuestionFormatRegistry::add(std::unique_ptr<QuestionFormat> format)
{
    for (auto &existing : m_formats) {
        if (existing->shortName() == format->shortName()) {
            existing = std::move(format);
            return;
        }
    }
    m_formats.push_back(std::move(format));
}

QList<const QuestionFormat *> QuestionFormatRegistry::formats(QuestionFormat::Capabilities wanted) const
{
    QList<const QuestionFormat *> result;
    for (const auto &f : m_formats)
        if (f->hasCapabilities(wanted))
            result << f.get();
    return result;
}

const QuestionFormat *QuestionFormatRegistry::byShortName(const QString &shortName) const
{
    for (const auto &f : m_formats)
        if (f->shortName().compare(shortName, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

const QuestionFormat *QuestionFormatRegistry::forFileName(const QString &fileName,
                                                          QuestionFormat::Capabilities wanted) const
{
    for (const QuestionFormat *f : formats(wanted))
        if (f->supportsFile(fileName))
            return f;
    return nullptr;
}

QStringList QuestionFormatRegistry::shortNames(QuestionFormat::Capabilities wanted) const
{
    QStringList names;
    for (const QuestionFormat *f : formats(wanted))
        names << f->shortName();
    return names;
}

QString QuestionFormatRegistry::knownEndings(QuestionFormat::Capabilities wanted) const
{
    QStringList endings;
    for (const QuestionFormat *f : formats(wanted))
        for (const QString &pattern : f->nameFilter().pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            endings << pattern.mid(pattern.indexOf(QLatin1Char('.')));
    endings.removeDuplicates();
    return endings.join(QStringLiteral(", "));
}
