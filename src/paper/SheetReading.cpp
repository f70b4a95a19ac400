#include "paper/SheetReading.h"

#include "paper/PaperTest.h"
#include "paper/SheetLayout.h"
#include "paper/SheetScanner.h"
#include "pictures/QrCode.h"

#include <QLineF>
#include <QTransform>
#include <array>
#include <cmath>

namespace {
QPointF toPixels(const QPointF &mm)
{
    return (mm + QPointF(SheetImage::MarginMm, SheetImage::MarginMm)) * SheetImage::PixelsPerMm;
}

QRectF toPixels(const QRectF &mm)
{
    return {toPixels(mm.topLeft()), toPixels(mm.bottomRight())};
}

// The grey level below which `share` of the pixels in `area` lie.
int level(const QImage &image, const QRect &area, double share)
{
    std::array<int, 256> counts{};
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (int x = r.left(); x <= r.right(); ++x)
            ++counts[line[x]];
    }
    const int total = r.width() * r.height();
    int seen = 0;
    for (int g = 0; g < 256; ++g) {
        seen += counts[g];
        if (seen > share * total)
            return g;
    }
    return 255;
}

// The black of the print on this sheet: the middle of the corner markers.
int blackLevel(const QImage &straight, const SheetLayout &layout)
{
    int sum = 0;
    for (const QPointF &c : layout.markerCentres()) {
        const QPointF p = toPixels(c);
        const int half = int(SheetLayout::MarkerSide * SheetImage::PixelsPerMm / 4);
        sum += level(straight, QRect(int(p.x()) - half, int(p.y()) - half, 2 * half, 2 * half), 0.5);
    }
    return sum / 4;
}

// From the code's place on the picture to the whole sheet: the code's
// centre and its two axes, with the sheet's size in millimetres read by
// the size of the code's modules.
struct CodeFrame {
    QPointF centre, xAxis, yAxis;   // picture pixels; axes per millimetre
    QPointF at(const QPointF &mm, const QPointF &codeCentreMm) const
    {
        const QPointF d = mm - codeCentreMm;
        return centre + xAxis * d.x() + yAxis * d.y();
    }
};

CodeFrame frameOf(const QPolygonF &corners, double symbolMm)
{
    CodeFrame f;
    f.centre = (corners[0] + corners[1] + corners[2] + corners[3]) / 4;
    f.xAxis = ((corners[1] - corners[0]) + (corners[2] - corners[3])) / 2 / symbolMm;
    f.yAxis = ((corners[3] - corners[0]) + (corners[2] - corners[1])) / 2 / symbolMm;
    return f;
}

double length(const QPointF &p)
{
    return std::hypot(p.x(), p.y());
}

// The signed area of a polygon (the shoelace formula).
double area(const QPolygonF &p)
{
    double twice = 0;
    for (qsizetype i = 0; i < p.size(); ++i)
        twice += p[i].x() * p[(i + 1) % p.size()].y() - p[(i + 1) % p.size()].x() * p[i].y();
    return twice / 2;
}
}

namespace SheetImage {
QList<double> rowDarkness(const QImage &straight, const SheetLayout &layout, int place, int bubbles)
{
    const int black = blackLevel(straight, layout);
    const int white = level(straight, toPixels(layout.rowRect(place)).toRect(), 0.85);
    // A ring inside the printed circle and around the printed letter: what a
    // mark covers and the print does not.
    const double outer = SheetLayout::BubbleRadius * PixelsPerMm * 0.8;
    const double inner = SheetLayout::BubbleRadius * PixelsPerMm * 0.45;
    QList<double> out;
    for (int option = 0; option < bubbles; ++option) {
        const QPointF c = toPixels(layout.bubbleCentre(place, option));
        double sum = 0;
        int n = 0;
        for (int y = qMax(0, int(c.y() - outer)); y <= qMin(straight.height() - 1, int(c.y() + outer)); ++y) {
            const uchar *line = straight.constScanLine(y);
            for (int x = qMax(0, int(c.x() - outer)); x <= qMin(straight.width() - 1, int(c.x() + outer)); ++x) {
                const double d = std::hypot(x - c.x(), y - c.y());
                if (d <= outer && d >= inner) {
                    sum += line[x];
                    ++n;
                }
            }
        }
        out << (n == 0 || white <= black ? 0.0 : qBound(0.0, (white - sum / n) / double(white - black), 1.0));
    }
    return out;
}

QImage rowPicture(const QImage &straight, const SheetLayout &layout, int place)
{
    const QRectF row = layout.rowRect(place).adjusted(-2, -1.5, 2, 1.5);
    return straight.copy(toPixels(row).toRect());
}

SheetReading read(SheetScanner &scanner, const QImage &page, const PaperTest &test)
{
    SheetReading r;
    QPolygonF corners;
    const QByteArray bytes = scanner.code(page, &corners);
    if (bytes.isEmpty() || corners.size() != 4) {
        r.problem = QStringLiteral("no answer sheet's code is on it (a blank page, a question paper, or a sheet cut "
                                   "off or too faint)");
        return r;
    }
    const std::optional<SheetCode> code = SheetCode::fromBytes(bytes);
    if (!code) {
        r.problem = QStringLiteral("its code is not an answer sheet's");
        return r;
    }
    r.code = *code;
    if (code->test != test.fingerprint()) {
        r.problem = QStringLiteral("it is an answer sheet of another test");
        return r;
    }
    const SheetLayout layout(code->paper);
    // The code's size in modules is what the same bytes make again.
    const int modules = QrCode::image(bytes, 1).width();
    if (modules <= 8) {   // the module that draws codes is missing
        r.problem = QStringLiteral("its code cannot be measured here (the QR code module is missing)");
        return r;
    }
    const QRectF codeRect = layout.codeRect();
    const double symbolMm = codeRect.width() * (modules - 8) / modules;
    const CodeFrame frame = frameOf(corners, symbolMm);
    const double pixelsPerMm = (length(frame.xAxis) + length(frame.yAxis)) / 2;

    const QList<QPointF> found = scanner.squares(page, SheetLayout::MarkerSide * pixelsPerMm);
    const QList<QPointF> centres = layout.markerCentres();
    const double reach = 0.2 * QLineF(centres[0], centres[2]).length() * pixelsPerMm;
    QPolygonF from, to;
    for (const QPointF &centre : centres) {
        const QPointF expected = frame.at(centre, codeRect.center());
        qsizetype best = -1;
        for (qsizetype i = 0; i < found.size(); ++i)
            if (!from.contains(found[i]) && (best < 0 || length(found[i] - expected) < length(found[best] - expected)))
                best = i;
        if (best < 0 || length(found[best] - expected) > reach) {
            r.problem = QStringLiteral("its four corner markers are not all on it (is the whole sheet on the picture?)");
            return r;
        }
        from << found[best];
        to << toPixels(centre);
    }
    // Four markers that make no sheet (three in a line, one found twice)
    // give no page to read.
    const double expected = centres[2].x() * centres[2].y() * pixelsPerMm * pixelsPerMm;
    if (std::abs(area(from)) < 0.3 * expected) {
        r.problem = QStringLiteral("its four corner markers are not all on it (is the whole sheet on the picture?)");
        return r;
    }
    const QSizeF span = QSizeF(centres[2].x(), centres[2].y()) + QSizeF(2 * MarginMm, 2 * MarginMm);
    r.straight = scanner.straighten(page, from, to, (span * PixelsPerMm).toSize());
    if (r.straight.isNull()) {
        r.problem = QStringLiteral("it cannot be straightened");
        return r;
    }

    const TestVersion &version = test.version(code->version);
    for (int place = 0; place < version.questionCount(); ++place) {
        const QList<double> row = rowDarkness(r.straight, layout, place, version.optionsAt(place));
        r.darkness << row;
        r.marks << MarkReading::of(row);
    }
    return r;
}
}
