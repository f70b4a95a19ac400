#include "paper/SheetCode.h"

#include <QList>

namespace {
constexpr char kTag[] = "ARD1";
}

QByteArray SheetCode::bytes() const
{
    return QByteArray(kTag) + '|' + test.toLatin1() + '|' + SheetLayout::paperName(paper).toLatin1() + '|'
           + QByteArray::number(version) + '|' + QByteArray::number(sheet) + '|' + name.toUtf8();
}

std::optional<SheetCode> SheetCode::fromBytes(const QByteArray &bytes)
{
    // The name comes last and may hold the separator itself.
    QList<QByteArray> parts;
    qsizetype from = 0;
    for (int i = 0; i < 5; ++i) {
        const qsizetype bar = bytes.indexOf('|', from);
        if (bar < 0)
            return std::nullopt;
        parts << bytes.mid(from, bar - from);
        from = bar + 1;
    }
    parts << bytes.mid(from);
    SheetCode code;
    bool versionOk = false, sheetOk = false;
    code.version = parts[3].toInt(&versionOk);
    code.sheet = parts[4].toInt(&sheetOk);
    if (parts[0] != kTag || parts[1].isEmpty() || !versionOk || !sheetOk || code.version < 1 || code.version > 4
        || code.sheet < 1 || !SheetLayout::paperFromName(QString::fromLatin1(parts[2]), &code.paper))
        return std::nullopt;
    code.test = QString::fromLatin1(parts[1]);
    code.name = QString::fromUtf8(parts[5]);
    return code;
}
