#include "media/MciCommand.h"
#include "media/MciError.h"
#include "document/FileKind.h"

#include <QRegularExpression>

bool parseMciInteger(const QString &word, int *value)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?\\d{1,9}$"));
    if (!number.match(word).hasMatch())
        return false;
    *value = word.toInt();
    return true;
}

namespace {
QString unquote(QString s)
{
    s = s.trimmed();
    if (s.size() >= 2 && s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"')))
        s = s.mid(1, s.size() - 2);
    return s;
}

// The device type a file opens as when the command names none.
QString typeForFile(const QString &file)
{
    switch (mediaKindOf(file)) {
    case MediaKind::Avi: return QStringLiteral("avivideo");
    case MediaKind::Mpeg:
    case MediaKind::Mp3: return QStringLiteral("mpegvideo");
    case MediaKind::Midi: return QStringLiteral("sequencer");
    default: return QString();
    }
}

int parseOpen(const QString &rest, MciCommand *out)
{
    // "alias" and its name end the command; the file before it may hold
    // blanks (the last " alias " counts, so a folder may be named so too).
    static const QRegularExpression aliasAtEnd(QStringLiteral("^(.*\\S)\\s+alias\\s+(\\S+)$"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString spec = rest;
    const auto m = aliasAtEnd.match(rest);
    if (m.hasMatch()) {
        spec = m.captured(1);
        out->target = m.captured(2);
    }
    if (spec.isEmpty())
        return MciError::MissingParameter;
    const int bang = spec.indexOf(QLatin1Char('!'));
    if (bang > 0 && !spec.left(bang).contains(QLatin1Char(' ')) && !spec.startsWith(QLatin1Char('"'))) {
        out->deviceType = spec.left(bang).toLower();
        out->element = unquote(spec.mid(bang + 1));
    } else {
        out->element = unquote(spec);
        out->deviceType = typeForFile(out->element);
        if (out->deviceType.isEmpty())
            return MciError::DeviceTypeRequired;
    }
    if (out->element.isEmpty())
        return MciError::MissingParameter;
    if (out->target.isEmpty())
        out->target = out->element;
    return MciError::None;
}
}

int parseMciCommand(const QString &text, MciCommand *out)
{
    *out = MciCommand();
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return MciError::UnrecognizedCommand;
    const int blank = trimmed.indexOf(QRegularExpression(QStringLiteral("\\s")));
    out->verb = (blank < 0 ? trimmed : trimmed.left(blank)).toLower();
    const QString rest = blank < 0 ? QString() : trimmed.mid(blank).trimmed();

    static const QStringList verbs{QStringLiteral("open"), QStringLiteral("window"), QStringLiteral("capability"),
                                   QStringLiteral("where"), QStringLiteral("put"), QStringLiteral("play"),
                                   QStringLiteral("stop"), QStringLiteral("status"), QStringLiteral("close")};
    if (!verbs.contains(out->verb))
        return MciError::UnrecognizedCommand;
    if (out->verb == QLatin1String("open"))
        return parseOpen(rest, out);

    QStringList words = rest.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return MciError::MissingParameter;
    out->target = words.takeFirst();
    out->words = words;
    return MciError::None;
}
