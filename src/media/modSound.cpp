// Stub implementations; the real routines follow.
#include "modSound.h"
#include "MciDevices.h"

#include <QFileInfo>

void PlayWave(const QString &, const QString &) {}
void PlayResourceSound(int, const QString &) {}
void PlayAVI(const QString &, QWidget *, bool) {}
void PlayMPEG(const QString &, QWidget *, bool) {}
void PlayMIDI(const QString &) {}
void PlayMP3(const QString &) {}
void CloseAll() {}
QString GetShortName(const QString &path)
{
    return QFileInfo::exists(path) ? path : QStringLiteral("error");
}
