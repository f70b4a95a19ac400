#pragma once
// The AVI maker's work without its window: the frame-rate rule, the format
// check of added bitmaps, and the write of a list of bitmaps as one video
// stream. frmAVI and `ardeno-tool avi` both drive it; what differs (the
// options dialog, showing progress) comes through AviMakerView.

#include "avimaker/mAVIDecs.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class cDIB;

// The number at the start of the text ("." as decimal point, leading blanks
// skipped, "12.5fps" reads 12.5; no number reads 0), rounded to the nearest
// integer with halves going to the even neighbour, then held within 1..30.
int parseFrameRate(const QString &text);

// Width, height and bit count of the first accepted bitmap.
struct ReferenceFormat {
    bool set = false;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitCount = 0;

    // True when `dib` may join the list; the first bitmap sets the format.
    bool accept(const cDIB &dib);
    void clear() { *this = ReferenceFormat(); }
};

class AviMakerView {
public:
    virtual ~AviMakerView() = default;
    virtual void selectEntry(int index) = 0;
    // The compression options; false when the user cancelled.
    virtual bool chooseOptions(const cDIB &first, AVICOMPRESSOPTIONS &options) = 0;
    virtual void frameWritten(int index, const QString &file) = 0;
    virtual void setStatus(const QString &text) = 0;
};

struct AviWriteResult {
    long status = AVIERR_OK;   // the last AVI call's result; non-zero: an error was shown
    int framesWritten = 0;
    bool finished = false;     // every frame written
};

// Writes `files` as the frames of a new AVI file at `path`. Shows the
// window's messages ("Could not load first bitmap file in list!", "There was
// an error writing the file." with the file and the system's reason) through
// the message service. A frame that cannot be read ends the write there: the
// reader has shown why, and the frames before it stay in a finished, playable
// file. A write that fails (full disk, vanished folder) leaves no file of
// that name, or the previous one unchanged.
AviWriteResult writeAviFromList(const QString &path, const QStringList &files,
                                const QString &fpsText, AviMakerView &view,
                                qint64 riffLimit = 0);
