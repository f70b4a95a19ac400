#pragma once
// What the preview uses of the world outside it: the media player, the clock
// and the score-sheet printer. The defaults are the real ones; tests install
// their own to record calls, fix the time and skip the sounds' waits.

#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;

// The media player routines the preview calls (see modSound.h).
class PreviewMedia {
public:
    virtual ~PreviewMedia() = default;
    virtual void closeAll();
    virtual void playWave(const QString &path, const QString &mode);
    virtual void playResourceSound(int id, const QString &mode);
    virtual void playAVI(const QString &path, QWidget *box, bool stretch);
    virtual void playMPEG(const QString &path, QWidget *box, bool stretch);
    virtual void playMIDI(const QString &path);
    virtual void playMP3(const QString &path);
};

// The time of day with its date; the runner's timer.
class PreviewClock {
public:
    virtual ~PreviewClock() = default;
    virtual QDateTime now() const { return QDateTime::currentDateTime(); }
};

// Prints the score sheet's three lines on the default printer and reports
// its own failures.
using ScoreSheetPrinter =
    std::function<void(const QString &first, const QString &second, const QString &third)>;

namespace PreviewHooks {
PreviewMedia &media();
PreviewClock &clock();
const ScoreSheetPrinter &printer();

// nullptr / an empty function restores the default.
void setMedia(PreviewMedia *media);
void setClock(PreviewClock *clock);
void setPrinter(ScoreSheetPrinter printer);
}
