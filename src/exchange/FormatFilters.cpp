#include "exchange/FormatFilters.h"

FormatFilters::FormatFilters(QuestionFormat::Capabilities wanted, const QString &allDescription,
                             const QuestionFormatRegistry &registry)
    : m_registry(registry), m_wanted(wanted)
{
    const QList<const QuestionFormat *> formats = registry.formats(wanted);
    if (!allDescription.isEmpty()) {
        QStringList patterns;
        for (const QuestionFormat *f : formats)
            for (const QString &p : f->nameFilter().pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!patterns.contains(p))
                    patterns << p;
        m_filters << FileFilter{allDescription + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                                    + QLatin1Char(')'),
                                patterns.join(QLatin1Char(';'))};
        m_formats << nullptr;
    }
    for (const QuestionFormat *f : formats) {
        m_filters << f->nameFilter();
        m_formats << f;
    }
}

const QuestionFormat *FormatFilters::formatAt(int filterIndex) const
{
    return filterIndex >= 1 && filterIndex <= m_formats.size() ? m_formats[filterIndex - 1] : nullptr;
}

const QuestionFormat *FormatFilters::formatFor(int filterIndex, const QString &fileName) const
{
    // The chosen filter decides where the name fits it: ".zip" is a package
    // of either SCORM version.
    const QuestionFormat *chosen = formatAt(filterIndex);
    if (chosen && chosen->supportsFile(fileName))
        return chosen;
    if (const QuestionFormat *f = m_registry.forFileName(fileName, m_wanted))
        return f;
    return chosen;
}
