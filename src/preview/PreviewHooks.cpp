#include "preview/PreviewHooks.h"

#include "platform/MessageService.h"

#include "media/modSound.h"
#include "print/ScoreSheetPrintout.h"

void PreviewMedia::closeAll() { CloseAll(); }
void PreviewMedia::playWave(const QString &path, const QString &mode) { PlayWave(path, mode); }
void PreviewMedia::playResourceSound(int id, const QString &mode) { PlayResourceSound(id, mode); }
void PreviewMedia::playAVI(const QString &path, QWidget *box, bool stretch) { PlayAVI(path, box, stretch); }
void PreviewMedia::playMPEG(const QString &path, QWidget *box, bool stretch) { PlayMPEG(path, box, stretch); }
void PreviewMedia::playMIDI(const QString &path) { PlayMIDI(path); }
void PreviewMedia::playMP3(const QString &path) { PlayMP3(path); }

namespace {
PreviewMedia g_defaultMedia;
PreviewClock g_defaultClock;
PreviewMedia *g_media = nullptr;
PreviewClock *g_clock = nullptr;

void printWithDefaultPrinter(const QString &first, const QString &second, const QString &third)
{
    ScoreSheetPrintout::print(first, second, third);
}

ScoreSheetPrinter &printerSlot()
{
    static ScoreSheetPrinter p = printWithDefaultPrinter;
    return p;
}
}

namespace PreviewHooks {
PreviewMedia &media() { return g_media ? *g_media : g_defaultMedia; }
PreviewClock &clock() { return g_clock ? *g_clock : g_defaultClock; }
const ScoreSheetPrinter &printer() { return printerSlot(); }

void setMedia(PreviewMedia *m) { g_media = m; }
void setClock(PreviewClock *c) { g_clock = c; }
void setPrinter(ScoreSheetPrinter p)
{
    printerSlot() = p ? std::move(p) : ScoreSheetPrinter(printWithDefaultPrinter);
}
}
