#include "app/EditorLogic.h"

#include "document/QuestionRecord.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace EditorLogic {

QString commandLineText(const QStringList &arguments)
{
    QString text = arguments.join(QLatin1Char(' '));
    const qsizetype crlf = text.indexOf(QStringLiteral("\r\n"));
    if (crlf >= 0)
        text.truncate(crlf);
    return text;
}

QString extensionAfterFirstFullStop(const QString &path)
{
    const qsizetype dot = path.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : path.mid(dot + 1);
}

bool hasExtension(const QString &path, const QString &ext)
{
    if (!path.contains(QLatin1Char('.')))
        return false;
    return extensionAfterFirstFullStop(path).compare(ext, Qt::CaseInsensitive) == 0;
}

QString windowCaption(const QString &fileName)
{
    return QStringLiteral("Ardeno Test Creator - ") + fileName;
}

QString windowCaptionForPath(const QString &path)
{
    return windowCaption(QFileInfo(path).fileName());
}

QString questionLabel(int number)
{
    return QStringLiteral("Question #") + QuestionRecord::withSignPosition(number);
}

Thumbnail thumbnailRect(const QSize &box, const QSize &picture)
{
    const int pw = box.width(), ph = box.height();
    const int iw = picture.width(), ih = picture.height();
    Thumbnail t;
    if (iw <= 0 || ih <= 0)
        return t;
    if (iw > pw || ih > ph) {
        // The factor is a single-precision number; the products are taken
        // exactly (a whole number times a float fits a double) and rounded
        // half to even (the default rounding mode of nearbyint). Rounding the
        // product to a float first would turn 3 x (117/702) into exactly 0.5.
        const float r = std::min(float(pw) / float(iw), float(ph) / float(ih));
        const int nw = int(std::nearbyint(double(iw) * double(r)));
        const int nh = int(std::nearbyint(double(ih) * double(r)));
        const int x = int(std::floor((pw - nw) / 2.0));
        const int y = int(std::floor((ph - nh) / 2.0));
        t.target = QRect(x, y, nw, nh);
        t.scaled = true;
    } else {
        const int x = int(std::floor((pw - iw) / 2.0));
        const int y = int(std::floor((ph - ih) / 2.0));
        t.target = QRect(x, y, iw, ih);
    }
    return t;
}

QString existingPathIgnoringCase(const QString &path)
{
    if (path.isEmpty())
        return QString();
    if (QFileInfo(path).isFile())
        return path;
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const QStringList parts = clean.split(QLatin1Char('/'));
    QString current = clean.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QDir::currentPath() + QLatin1Char('/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        if (part.isEmpty())
            continue;
        const QDir dir(current);
        QString found;
        if (QFileInfo::exists(dir.filePath(part))) {
            found = part;
        } else {
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString &e : entries)
                if (e.compare(part, Qt::CaseInsensitive) == 0) {
                    found = e;
                    break;
                }
        }
        if (found.isEmpty())
            return QString();
        current = dir.filePath(found);
        if (i + 1 < parts.size() && !current.endsWith(QLatin1Char('/')))
            current += QLatin1Char('/');
    }
    return QFileInfo(current).isFile() ? current : QString();
}
}
