#pragma once
// The boundary between the paper class and its scan module
// (libardeno_sheetscan.so: Poppler for the pages of a PDF, ZXing for the
// sheet's code, OpenCV for the markers and the straightening), loaded by the
// first scan so that the editor does not load them at start-up. The module
// exports ardeno_create_sheet_scanner(version), returning a new scanner or
// nullptr when it was built for another version of this interface. Both
// sides are built from the same sources, so Qt types cross as they are.
//
// Pictures cross as 8-bit grey images. A scanner is used by one thread.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QSize>
#include <QString>

class SheetScanner {
public:
    virtual ~SheetScanner() = default;

    // A PDF read through an open descriptor (the module reads it through a
    // duplicate; the caller keeps its own). False with the reason ("it is
    // damaged", "it is locked with a password").
    virtual bool openPdf(int fd, QString *error) = 0;
    virtual int pageCount() const = 0;
    // Page `index` (0-based) in grey, at a resolution that makes its longer
    // side at most `longSide` pixels (and at most 300 dots per inch); a null
    // image with the reason when the page cannot be drawn.
    virtual QImage page(int index, int longSide, QString *error) = 0;

    // The first QR code on the picture: its bytes, and its corners on the
    // picture in the code's own order (top left, top right, bottom right,
    // bottom left as the code is upright); empty when there is none.
    virtual QByteArray code(const QImage &grey, QPolygonF *corners) = 0;
    // The centres of the dark filled squares about `side` pixels wide (the
    // sheet's corner markers, and anything that looks like one).
    virtual QList<QPointF> squares(const QImage &grey, double side) = 0;
    // The picture straightened: the four points `from` on it go to the four
    // points `to` on a new picture of `size`.
    virtual QImage straighten(const QImage &grey, const QPolygonF &from, const QPolygonF &to, QSize size) = 0;
};

constexpr int kSheetScannerInterfaceVersion = 1;
#define ARDENO_SHEETSCAN_MODULE "ardeno_sheetscan"
#define ARDENO_SHEETSCAN_FACTORY "ardeno_create_sheet_scanner"
