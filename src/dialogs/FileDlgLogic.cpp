#include "dialogs/FileDlgLogic.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace FileDlg {

std::int32_t openDialogBits(bool fileMustExist, bool multiSelect, bool readOnly,
                            bool hideReadOnly, std::int32_t flags)
{
    std::int32_t bits = flags & ~kRemovedBits;
    if (fileMustExist) bits |= OFN_FILEMUSTEXIST;
    if (multiSelect) bits |= OFN_ALLOWMULTISELECT;
    if (readOnly) bits |= OFN_READONLY;
    if (hideReadOnly) bits |= OFN_HIDEREADONLY;
    return bits;
}

std::int32_t saveDialogBits(bool overwritePrompt, std::int32_t flags)
{
    std::int32_t bits = (flags & ~kRemovedBits) | OFN_HIDEREADONLY;
    if (overwritePrompt) bits |= OFN_OVERWRITEPROMPT;
    return bits;
}

QString filterToNulList(const QString &filter)
{
    QString list = filter;
    list.replace(QLatin1Char('|'), QChar(0));
    list.replace(QLatin1Char(':'), QChar(0));
    list.append(QChar(0));
    list.append(QChar(0));
    return list;
}

QString filterPair(const QString &nulList, int index)
{
    if (index < 1 || nulList == QString(QChar(0)))
        return QString();
    // Walk the list part by part; an empty part ends it (the double NUL).
    int pos = 0;
    int pair = 0;
    while (pos < nulList.size()) {
        const int descEnd = nulList.indexOf(QChar(0), pos);
        if (descEnd == pos)
            break;
        const QString description = nulList.mid(pos, descEnd < 0 ? -1 : descEnd - pos);
        if (descEnd < 0)
            break;   // a description without a pattern is no pair
        const int patEnd = nulList.indexOf(QChar(0), descEnd + 1);
        const QString pattern = nulList.mid(descEnd + 1, patEnd < 0 ? -1 : patEnd - descEnd - 1);
        if (++pair == index)
            return description + QChar(0) + pattern;
        if (patEnd < 0)
            break;
        pos = patEnd + 1;
    }
    return QString();
}

QString specialFolderPath(int csidl)
{
    // The high bits of a CSIDL are flags (create, don't verify): ignore them.
    const int folder = csidl & 0xFF;
    auto location = [](QStandardPaths::StandardLocation where) {
        const QString path = QStandardPaths::writableLocation(where);
        return QFileInfo(path).isDir() ? path : QString();
    };
    switch (folder) {
    case 0x00:   // desktop
    case 0x10:   // desktop directory
        return location(QStandardPaths::DesktopLocation);
    case 0x05:   // my documents
        return location(QStandardPaths::DocumentsLocation);
    case 0x0D:   // my music
        return location(QStandardPaths::MusicLocation);
    case 0x0E:   // my videos
        return location(QStandardPaths::MoviesLocation);
    case 0x27:   // my pictures
        return location(QStandardPaths::PicturesLocation);
    case 0x14:   // fonts
        return location(QStandardPaths::FontsLocation);
    case 0x1A:   // application data
    case 0x1C:   // local application data
        return location(QStandardPaths::GenericDataLocation);
    case 0x20:   // internet cache
        return location(QStandardPaths::GenericCacheLocation);
    case 0x28:   // the user's profile
        return location(QStandardPaths::HomeLocation);
    default:     // Windows, system, program files, start menu...: nothing here
        return QString();
    }
}

QString fileTitle(const QString &path)
{
    if (path.isEmpty())
        return QString();
    const int cut = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QString title = path.mid(cut + 1);
    if (title.isEmpty())
        return QString();
    for (const QChar c : title)
        if (c.unicode() < 32 || QStringLiteral("*?\"<>|:").contains(c))
            return QString();
    return title;
}

bool existFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString upToNul(const QString &text)
{
    const int nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

} // namespace FileDlg
