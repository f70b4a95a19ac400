#pragma once
// One page of a scan read as an answer sheet: its code, and each question's
// marks as printed (before the version is mapped back), or why the page is
// no sheet of the test.

#include "paper/MarkReading.h"
#include "paper/SheetCode.h"

#include <QImage>
#include <QList>
#include <QString>

class PaperTest;
class SheetLayout;
class SheetScanner;

struct SheetReading {
    QString source;            // "scan.pdf, page 3" or "IMG_0412.jpg"
    QString problem;           // why it was not read; "" when it was
    SheetCode code;
    QList<QList<double>> darkness;   // per printed question, per bubble
    QList<MarkReading> marks;        // per printed question
    QImage straight;                 // the sheet straightened (SheetImage::PixelsPerMm), for the doubtful rows

    bool isRead() const { return problem.isEmpty(); }
};

namespace SheetImage {
// The straightened sheet: this many pixels a millimetre, and this margin in
// millimetres around the markers' centres.
inline constexpr double PixelsPerMm = 6.0;
inline constexpr double MarginMm = 10.0;

// The page (grey, 8 bits) read as a sheet of `test`, in any of its versions.
SheetReading read(SheetScanner &scanner, const QImage &page, const PaperTest &test);

// How dark the inside of each of the `bubbles` bubbles of the question
// printed at `place` is on the straightened sheet, between the paper of its
// row (0) and the black of the sheet's markers (1).
QList<double> rowDarkness(const QImage &straight, const SheetLayout &layout, int place, int bubbles);

// The row of question `place` cut from the straightened sheet, for the
// teacher to look at.
QImage rowPicture(const QImage &straight, const SheetLayout &layout, int place);
}
