#pragma once
// The smallest bytes that pass for a media file of the kind a name ends in
// (the signature the media admission looks for, headers that agree; for a
// bitmap, a whole one),
// followed by `tail` so that files stay told apart. What tests put where a real picture, sound, tune or
// video would be.

#include <QByteArray>
#include <QString>

inline QByteArray mediaBytes(const QString &name, const QByteArray &tail = QByteArray())
{
    const QString kind = name.section(QLatin1Char('.'), -1).toLower();
    QByteArray head;
    if (kind == QLatin1String("bmp"))   // a whole 1 x 1 bitmap: headers that agree, one pixel
        head = QByteArray("BM\x3A\0\0\0\0\0\0\0\x36\0\0\0" "\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0"
                          "\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0" "\xFF\0\0\0", 58);
    else if (kind == QLatin1String("jpg") || kind == QLatin1String("jpeg"))
        head = "\xFF\xD8\xFF\xE0";
    else if (kind == QLatin1String("wmf"))
        head = QByteArray("\xD7\xCD\xC6\x9A", 4);
    else if (kind == QLatin1String("wav"))
        head = QByteArray("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x80\x3E\0\0\x02\0\x10\0", 36);
    else if (kind == QLatin1String("avi"))
        head = QByteArray("RIFF\x24\0\0\0AVI LIST", 16);
    else if (kind == QLatin1String("mpg") || kind == QLatin1String("mpeg"))
        head = QByteArray("\0\0\x01\xBA", 4);
    else if (kind == QLatin1String("mid") || kind == QLatin1String("midi"))
        head = QByteArray("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    else if (kind == QLatin1String("mp3"))
        head = QByteArray("ID3\x03\0\0\0\0\0\0", 10);
    return head + tail;
}
