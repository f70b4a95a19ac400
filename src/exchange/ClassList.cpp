#include "exchange/ClassList.h"

#include "exchange/CsvFormat.h"
#include "exchange/SourceText.h"

#include <QSet>

namespace ClassList {
QStringList names(const QByteArray &bytes, QString *problem)
{
    QStringList out;
    QSet<QString> seen;
    int column = -1;   // not known before the first row
    bool tooMany = false;
    const QString text = SourceText::decode(bytes);
    int errorLine = 0;
    const bool read = CsvFormat::forEachRow(text, [&](const QStringList &fields) {
        if (column < 0) {
            column = 0;
            for (int i = 0; i < fields.size(); ++i)
                if (fields[i].trimmed().compare(QLatin1String("name"), Qt::CaseInsensitive) == 0)
                    column = i;
            // A first row without a "name" heading is a name already.
            if (fields.value(column).trimmed().compare(QLatin1String("name"), Qt::CaseInsensitive) == 0)
                return true;
        }
        const QString name = fields.value(column).simplified();
        if (!name.isEmpty() && !seen.contains(name.toCaseFolded())) {
            seen.insert(name.toCaseFolded());
            out << name;
        }
        tooMany = out.size() > MaxNames;
        return !tooMany;
    }, &errorLine);
    if (!read) {
        *problem = QStringLiteral("line %1 cannot be read: a quoted field is not closed, or the row has more than %2 fields").arg(errorLine).arg(CsvFormat::MaxFields);
        return {};
    }
    if (tooMany) {
        *problem = QStringLiteral("more than %1 names").arg(MaxNames);
        return {};
    }
    if (out.isEmpty())
        *problem = QStringLiteral("it holds no names");
    return out;
}
}
