// Qt first: libwmf's headers #define U8, U16, ... which Qt's headers use.
#include "WmfReader.h"
#include "PictureLoader.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

extern "C" {
#include <libwmf/api.h>
#include <libwmf/ipa.h>
#include <libwmf/svg.h>
}

namespace Wmf {
namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableBytes = 22;
constexpr int kHeaderBytes = 18;
constexpr double kMmPerInch = 25.4;
constexpr double kScreenDpi = 96.0;
// A metafile without a placeable header: its window is taken as twips.
constexpr double kPlainUnitsPerInch = 1440.0;

// Bounds against hostile files.
constexpr size_t kMaxLibwmfBytes = 256u * 1024 * 1024;   // libwmf's own allocations
constexpr unsigned long kMaxRecords = 1000000;            // records per pass
constexpr int kMaxSvgBytes = 32 * 1024 * 1024;            // SVG text
constexpr qint64 kMaxRenderPixels = 64ll * 1024 * 1024;   // 256 MB of ARGB

struct Placeable {
    bool present = false;
    qint16 left = 0, top = 0, right = 0, bottom = 0;
    quint16 inch = 0;
};

Placeable readPlaceable(const QByteArray &data)
{
    Placeable p;
    if (data.size() < kPlaceableBytes)
        return p;
    const auto *b = reinterpret_cast<const uchar *>(data.constData());
    if (qFromLittleEndian<quint32>(b) != kPlaceableKey)
        return p;
    p.present = true;
    p.left = qFromLittleEndian<qint16>(b + 6);
    p.top = qFromLittleEndian<qint16>(b + 8);
    p.right = qFromLittleEndian<qint16>(b + 10);
    p.bottom = qFromLittleEndian<qint16>(b + 12);
    p.inch = qFromLittleEndian<quint16>(b + 14);
    return p;
}

bool standardHeaderAt(const QByteArray &data, int offset)
{
    if (data.size() < offset + kHeaderBytes)
        return false;
    const auto *b = reinterpret_cast<const uchar *>(data.constData()) + offset;
    const quint16 type = qFromLittleEndian<quint16>(b);
    const quint16 headerWords = qFromLittleEndian<quint16>(b + 2);
    return (type == 1 || type == 2) && headerWords == 9;
}

// The window origin and extent a metafile sets before it draws: the frame
// of a metafile without a placeable header.
struct Window {
    bool present = false;
    int ox = 0, oy = 0, width = 0, height = 0;
};

bool isDrawingRecord(quint16 function)
{
    switch (function) {
    case 0x0213: case 0x0817: case 0x0418: case 0x0419: case 0x0548: case 0x081A:
    case 0x041B: case 0x061C: case 0x061D: case 0x041F: case 0x0521: case 0x0324:
    case 0x0325: case 0x0A32: case 0x0538: case 0x0830: case 0x0922: case 0x0940:
    case 0x0B23: case 0x0B41: case 0x0F43: case 0x0228: case 0x0429: case 0x012B:
    case 0x012A: case 0x062F: case 0x0D33:
        return true;
    default:
        return false;
    }
}

Window windowFromRecords(const QByteArray &data, int offset)
{
    Window window;
    bool haveExt = false;
    const auto *b = reinterpret_cast<const uchar *>(data.constData());
    qint64 at = offset + kHeaderBytes;
    for (int count = 0; count < 10000 && at + 6 <= data.size(); ++count) {
        const quint32 words = qFromLittleEndian<quint32>(b + at);
        const quint16 function = qFromLittleEndian<quint16>(b + at + 4);
        if (words < 3 || at + qint64(words) * 2 > data.size())
            break;
        const uchar *param = b + at + 6;
        if (function == 0x020B && words >= 5) {          // SETWINDOWORG y, x
            window.oy = qFromLittleEndian<qint16>(param);
            window.ox = qFromLittleEndian<qint16>(param + 2);
        } else if (function == 0x020C && words >= 5) {   // SETWINDOWEXT y, x
            window.height = qFromLittleEndian<qint16>(param);
            window.width = qFromLittleEndian<qint16>(param + 2);
            haveExt = true;
        } else if (function == 0x0000) {
            break;
        } else if (isDrawingRecord(function)) {
            break;   // a drawing record: the mapping is settled
        }
        at += qint64(words) * 2;
    }
    window.present = haveExt && window.width != 0 && window.height != 0;
    return window;
}

// Bitmaps inside the metafile are checked before libwmf reads them: its
// bitmap reader trusts the header and can loop for ever on a broken one
// (a header size of 0, for one). Bytes from the start of a record's
// parameters to its bitmap, for the records that carry one:
int bitmapOffset(quint16 function)
{
    switch (function) {
    case 0x0940: return 16;   // DIBBITBLT: raster operation, 6 coordinates
    case 0x0B41: return 20;   // DIBSTRETCHBLT: raster operation, 8 coordinates
    case 0x0F43: return 22;   // STRETCHDIB: raster operation, colour use, 8 coordinates
    case 0x0D33: return 18;   // SETDIBTODEV: colour use, 8 values
    case 0x0142: return 4;    // DIBCREATEPATTERNBRUSH: style, colour use
    default: return -1;
    }
}

bool bitmapLooksSane(const uchar *dib, qint64 available)
{
    if (available < 12)
        return available == 0;   // the variants of these records without a bitmap
    const quint32 headerSize = qFromLittleEndian<quint32>(dib);
    qint64 width, height, colours, bits, compression = 0, used = 0;
    if (headerSize == 12) {   // OS/2 core header
        width = qFromLittleEndian<quint16>(dib + 4);
        height = qFromLittleEndian<quint16>(dib + 6);
        bits = qFromLittleEndian<quint16>(dib + 10);
        if (qFromLittleEndian<quint16>(dib + 8) != 1)
            return false;
        colours = bits <= 8 ? (qint64(1) << bits) * 3 : 0;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108
               || headerSize == 124) {
        if (available < headerSize)
            return false;
        width = std::abs(qint64(qFromLittleEndian<qint32>(dib + 4)));
        height = std::abs(qint64(qFromLittleEndian<qint32>(dib + 8)));
        if (qFromLittleEndian<quint16>(dib + 12) != 1)
            return false;
        bits = qFromLittleEndian<quint16>(dib + 14);
        compression = qFromLittleEndian<quint32>(dib + 16);
        used = qFromLittleEndian<quint32>(dib + 32);
        if (compression > 3 || used > 256)
            return false;
        colours = (used ? used : (bits <= 8 ? (qint64(1) << bits) : 0)) * 4;
        if (compression == 3 && headerSize == 40)
            colours += 12;   // the three colour masks
    } else {
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (width < 1 || height < 1 || width * height > kMaxRenderPixels)
        return false;
    if (compression == 1 || compression == 2)
        return headerSize + colours <= available;   // run-length coded: no fixed size
    const qint64 stride = ((width * bits + 31) / 32) * 4;
    return headerSize + colours + stride * height <= available;
}

// Every bitmap-carrying record of the metafile holds a sane bitmap.
bool bitmapsLookSane(const QByteArray &data, int offset)
{
    const auto *b = reinterpret_cast<const uchar *>(data.constData());
    qint64 at = offset + kHeaderBytes;
    while (at + 6 <= data.size()) {
        const quint32 words = qFromLittleEndian<quint32>(b + at);
        const quint16 function = qFromLittleEndian<quint16>(b + at + 4);
        if (words < 3 || qint64(words) * 2 > data.size() - at)
            return true;   // libwmf refuses broken record sizes itself
        if (function == 0 && words == 3)
            return true;
        const int dibAt = bitmapOffset(function);
        // (DIBBITBLT and DIBSTRETCHBLT also come without a bitmap, told by
        // their size: the function's high byte plus the 3 header words.)
        const bool withoutBitmap = (function == 0x0940 || function == 0x0B41) && words == (function >> 8) + 3u;
        if (dibAt >= 0 && !withoutBitmap) {
            const qint64 parameters = qint64(words) * 2 - 6;
            if (parameters < dibAt)
                return false;
            if (!bitmapLooksSane(b + at + 6 + dibAt, parameters - dibAt))
                return false;
        }
        at += qint64(words) * 2;
    }
    return true;
}

// libwmf allocates through these: a budget keeps a hostile file from asking
// for gigabytes. Each block carries its size in front of it.
struct Budget {
    size_t used = 0;
};
constexpr size_t kBlockHeader = alignof(std::max_align_t);

void *budgetMalloc(void *context, size_t size)
{
    auto *budget = static_cast<Budget *>(context);
    if (size > kMaxLibwmfBytes || budget->used + size > kMaxLibwmfBytes)
        return nullptr;
    auto *block = static_cast<char *>(std::malloc(size + kBlockHeader));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    budget->used += size;
    return block + kBlockHeader;
}

void budgetFree(void *context, void *mem)
{
    if (!mem)
        return;
    auto *budget = static_cast<Budget *>(context);
    char *block = static_cast<char *>(mem) - kBlockHeader;
    size_t size;
    std::memcpy(&size, block, sizeof size);
    budget->used -= size;
    std::free(block);
}

void *budgetRealloc(void *context, void *mem, size_t size)
{
    if (!mem)
        return budgetMalloc(context, size);
    if (size == 0) {
        budgetFree(context, mem);
        return nullptr;
    }
    auto *budget = static_cast<Budget *>(context);
    char *block = static_cast<char *>(mem) - kBlockHeader;
    size_t old;
    std::memcpy(&old, block, sizeof old);
    if (size > kMaxLibwmfBytes || budget->used - old + size > kMaxLibwmfBytes)
        return nullptr;
    auto *grown = static_cast<char *>(std::realloc(block, size + kBlockHeader));
    if (!grown)
        return nullptr;
    std::memcpy(grown, &size, sizeof size);
    budget->used = budget->used - old + size;
    return grown + kBlockHeader;
}

QString describe(wmf_error_t err)
{
    switch (err) {
    case wmf_E_None: return {};
    case wmf_E_InsMem: return QStringLiteral("the metafile needs too much memory");
    case wmf_E_BadFile: return QStringLiteral("the metafile cannot be read");
    case wmf_E_BadFormat: return QStringLiteral("the metafile is damaged");
    case wmf_E_EOF: return QStringLiteral("the metafile ends too early");
    case wmf_E_UserExit: return QStringLiteral("the metafile is too complex");
    default: return QStringLiteral("the metafile cannot be drawn");
    }
}

QByteArray hexColor(const wmfRGB &c)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
    return QByteArray(buf);
}

// Windows-1252 to UTF-8, escaped for XML text; control characters dropped.
QByteArray xmlText(const char *ansi)
{
    static const char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
        0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    QString text;
    for (const uchar *p = reinterpret_cast<const uchar *>(ansi); p && *p; ++p) {
        const uchar c = *p;
        if (c < 0x20 && c != '\t')
            continue;
        text.append(c >= 0x80 && c < 0xA0 ? QChar(high[c - 0x80]) : QChar(c));
    }
    return text.toHtmlEscaped().toUtf8();
}

// A font family name is written inside a CSS string: keep it plain.
QByteArray cssFamily(const char *face)
{
    QByteArray out;
    for (const char *p = face; p && *p && out.size() < 64; ++p) {
        const char c = *p;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' '
            || c == '-' || c == '_')
            out.append(c);
    }
    return out.isEmpty() ? QByteArray("sans-serif") : out;
}

// One conversion: libwmf with the SVG device, whose drawing calls pass
// through the hooks below. The hooks learn the metafile's coordinate
// mapping (for the frame), write exact colours where libwmf rounds them to
// SVG colour names, and draw text themselves so that it is escaped.
struct Session {
    Budget budget;
    wmfAPI *api = nullptr;
    wmfFunctionReference original {};
    QByteArray out;
    bool writing = false;          // second pass: the SVG is being written
    bool overflow = false;
    unsigned long records = 0;

    // The logical-to-device mapping at the first drawing call.
    bool sawDc = false;
    double windowOx = 0, windowOy = 0, pixelWidth = 0, pixelHeight = 0;

    ~Session()
    {
        if (api)
            wmf_api_destroy(api);
    }

    wmf_svg_t *svg() const { return WMF_SVG_GetData(api); }

    void noteDc(const wmfDC *dc)
    {
        if (sawDc || !dc)
            return;
        sawDc = true;
        windowOx = dc->Window.Ox;
        windowOy = dc->Window.Oy;
        pixelWidth = dc->pixel_width;
        pixelHeight = dc->pixel_height;
    }

    // Replaces the colour names libwmf wrote since `from` by exact colours.
    void recolor(int from, const wmfDC *dc, bool fill, bool stroke)
    {
        if (!writing || !dc || from >= out.size())
            return;
        QByteArray part = out.mid(from);
        if (fill && dc->brush) {
            replaceColor(part, "fill:", hexColor(dc->brush->lbColor));
            // Qt's SVG renderer has no patterns: a hatched brush becomes a
            // light wash of its colour rather than a solid block.
            if (dc->brush->lbStyle == 2 /* BS_HATCHED */) {
                part.replace("fill-opacity:1.0;", "fill-opacity:0.35;");
                part.replace("fill-opacity:0.5;", "fill-opacity:0.35;");
            }
        }
        if (stroke && dc->pen)
            replaceColor(part, "stroke:", hexColor(dc->pen->lopnColor));
        out.truncate(from);
        out.append(part);
    }

    static void replaceColor(QByteArray &part, const QByteArray &key, const QByteArray &color)
    {
        for (int at = part.indexOf(key); at >= 0; at = part.indexOf(key, at + 1)) {
            const int start = at + key.size();
            int end = start;
            while (end < part.size() && part.at(end) >= 'a' && part.at(end) <= 'z')
                ++end;
            if (end == start || part.mid(start, end - start) == "none")
                continue;
            part.replace(start, end - start, color);
        }
    }
};

Session *sessionOf(wmfAPI *api) { return static_cast<Session *>(api->user_data); }

int statusCallback(void *context, float)
{
    auto *s = static_cast<Session *>(context);
    return (++s->records > kMaxRecords || s->overflow) ? 1 : 0;
}

int streamPuts(char *text, void *context)
{
    auto *s = static_cast<Session *>(context);
    const size_t n = std::strlen(text);
    if (s->overflow || s->out.size() + qint64(n) > kMaxSvgBytes) {
        s->overflow = true;
        return EOF;
    }
    s->out.append(text, qsizetype(n));
    return 0;
}

int streamReset(void *context)
{
    static_cast<Session *>(context)->out.clear();
    return 0;
}

// Hooks around the SVG device's drawing functions.
// A metafile whose y axis points up gives rectangles and ellipses with the
// top below the bottom; SVG refuses negative sizes, so corners are put in order.
void orderCorners(wmfD_Coord &tl, wmfD_Coord &br)
{
    if (tl.x > br.x)
        std::swap(tl.x, br.x);
    if (tl.y > br.y)
        std::swap(tl.y, br.y);
}
void normalize(wmfDrawArc_t *arg) { orderCorners(arg->TL, arg->BR); }
void normalize(wmfDrawRectangle_t *arg)
{
    orderCorners(arg->TL, arg->BR);
    arg->width = std::fabs(arg->width);     // corner ellipse axes of a rounded rectangle
    arg->height = std::fabs(arg->height);
}
template <typename T>
void normalize(T *) {}

#define ARDENO_WMF_HOOK(member, Type, fill, stroke)                          \
    void hook_##member(wmfAPI *api, Type *arg)                               \
    {                                                                        \
        Session *s = sessionOf(api);                                         \
        s->noteDc(arg->dc);                                                  \
        normalize(arg);                                                      \
        const int from = int(s->out.size());                                 \
        if (s->original.member)                                              \
            s->original.member(api, arg);                                    \
        s->recolor(from, arg->dc, fill, stroke);                             \
    }

ARDENO_WMF_HOOK(flood_interior, wmfFlood_t, false, false)
ARDENO_WMF_HOOK(flood_exterior, wmfFlood_t, false, false)
ARDENO_WMF_HOOK(draw_ellipse, wmfDrawArc_t, true, true)
ARDENO_WMF_HOOK(draw_line, wmfDrawLine_t, false, true)
ARDENO_WMF_HOOK(poly_line, wmfPolyLine_t, false, true)
ARDENO_WMF_HOOK(draw_polygon, wmfPolyLine_t, true, true)
ARDENO_WMF_HOOK(draw_polypolygon, wmfPolyPoly_t, true, true)
ARDENO_WMF_HOOK(draw_rectangle, wmfDrawRectangle_t, true, true)
ARDENO_WMF_HOOK(region_frame, wmfPolyRectangle_t, true, false)
ARDENO_WMF_HOOK(region_paint, wmfPolyRectangle_t, true, false)
ARDENO_WMF_HOOK(region_clip, wmfPolyRectangle_t, false, false)
#undef ARDENO_WMF_HOOK

// Maps libwmf's device units to the SVG's pixels.
struct DeviceToSvg {
    double sx = 0, sy = 0, ox = 0, oy = 0;
    bool ok = false;
    explicit DeviceToSvg(const wmf_svg_t *svg)
    {
        const double bw = double(svg->bbox.BR.x) - svg->bbox.TL.x;
        const double bh = double(svg->bbox.BR.y) - svg->bbox.TL.y;
        ok = bw > 0 && bh > 0;
        if (ok) {
            sx = svg->width / bw;
            sy = svg->height / bh;
            ox = svg->bbox.TL.x;
            oy = svg->bbox.TL.y;
        }
    }
    double x(double dx) const { return (dx - ox) * sx; }
    double y(double dy) const { return (dy - oy) * sy; }
};

void writeRect(Session *s, double x1, double y1, double x2, double y2, const QByteArray &color)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    char element[256];
    std::snprintf(element, sizeof element,
                  "<rect x=\"%.3f\" y=\"%.3f\" width=\"%.3f\" height=\"%.3f\" style=\"fill:%s; stroke:none\" />\n",
                  qMin(x1, x2), qMin(y1, y2), std::fabs(x2 - x1), std::fabs(y2 - y1), color.constData());
    streamPuts(element, s);
}

// A pixel is one pixel of the picture at least (libwmf makes it one metafile
// unit, often far less than a pixel).
void hook_draw_pixel(wmfAPI *api, wmfDrawPixel_t *d)
{
    Session *s = sessionOf(api);
    s->noteDc(d->dc);
    if (!s->writing)
        return;
    const DeviceToSvg map(s->svg());
    if (!map.ok)
        return;
    const double w = qMax(1.0, std::fabs(d->pixel_width * map.sx));
    const double h = qMax(1.0, std::fabs(d->pixel_height * map.sy));
    // On the pixel grid, as a screen pixel is, so that it stays crisp.
    const double x = std::round(map.x(d->pt.x)), y = std::round(map.y(d->pt.y));
    writeRect(s, x, y, x + std::round(w), y + std::round(h), hexColor(d->color));
}

// Block fills (PATBLT), which libwmf's SVG device leaves out; clip art often
// paints its background with one. The pattern is the brush's colour.
void hook_rop_draw(wmfAPI *api, wmfROP_Draw_t *d)
{
    Session *s = sessionOf(api);
    s->noteDc(d->dc);
    if (!s->writing || !d->dc)
        return;
    const DeviceToSvg map(s->svg());
    if (!map.ok)
        return;
    QByteArray color;
    switch (d->ROP) {
    case 0x00F00021:   // PATCOPY
        if (!d->dc->brush || d->dc->brush->lbStyle == 1 /* BS_NULL */)
            return;
        color = hexColor(d->dc->brush->lbColor);
        break;
    case 0x00000042: color = "#000000"; break;   // BLACKNESS
    case 0x00FF0062: color = "#ffffff"; break;   // WHITENESS
    default: return;   // inverting operations have no meaning on a transparent picture
    }
    writeRect(s, map.x(d->TL.x), map.y(d->TL.y), map.x(d->BR.x), map.y(d->BR.y), color);
}

// Arcs, pies and chords. libwmf's SVG device draws all three as whole
// ellipses; here the element it wrote keeps its style, and its shape becomes
// the right path: from the ray through the start point counterclockwise to
// the ray through the end point, as Windows draws them.
enum class ArcShape { Arc, Pie, Chord };

void drawArcShape(wmfAPI *api, wmfDrawArc_t *d, ArcShape shape,
                  void (*original)(wmfAPI *, wmfDrawArc_t *))
{
    Session *s = sessionOf(api);
    s->noteDc(d->dc);
    normalize(d);
    const int from = int(s->out.size());
    if (original)
        original(api, d);
    if (!s->writing || from >= s->out.size())
        return;
    s->recolor(from, d->dc, shape != ArcShape::Arc, true);
    const QByteArray written = s->out.mid(from);
    const int styleAt = written.indexOf("style=\"");
    const int styleEnd = styleAt < 0 ? -1 : written.indexOf('"', styleAt + 7);
    if (styleEnd < 0)
        return;
    QByteArray style = written.mid(styleAt + 7, styleEnd - styleAt - 7);
    if (shape == ArcShape::Arc) {
        // An arc is never filled: keep only the stroke properties.
        const int stroke = written.indexOf("stroke-width:", styleAt);
        style = "fill:none; " + (stroke >= 0 ? written.mid(stroke, styleEnd - stroke) : QByteArray());
    }

    const DeviceToSvg map(s->svg());
    if (!map.ok)
        return;
    const double sx = map.sx, sy = map.sy;
    const double x1 = map.x(d->TL.x), x2 = map.x(d->BR.x), y1 = map.y(d->TL.y), y2 = map.y(d->BR.y);
    const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const double rx = std::fabs(x2 - x1) / 2, ry = std::fabs(y2 - y1) / 2;
    if (!std::isfinite(cx) || !std::isfinite(cy) || !(rx > 0) || !(ry > 0))
        return;
    // libwmf gives the start and end points relative to the centre, already
    // ordered so that the curve runs clockwise on the page from start to end.
    // Where the ray from the centre through such a point meets the ellipse:
    auto onEllipse = [&](const wmfD_Coord &p, double &ex, double &ey, double &angle) {
        double dx = p.x * sx, dy = p.y * sy;
        if (dx == 0 && dy == 0)
            dx = 1;
        const double t = 1.0 / std::sqrt((dx / rx) * (dx / rx) + (dy / ry) * (dy / ry));
        ex = cx + dx * t;
        ey = cy + dy * t;
        angle = std::atan2(dy, dx);   // grows clockwise on the page (y points down)
    };
    double sxp, syp, sa, exp, eyp, ea;
    onEllipse(d->start, sxp, syp, sa);
    onEllipse(d->end, exp, eyp, ea);
    double sweep = ea - sa;
    while (sweep <= 0)
        sweep += 2 * M_PI;
    if (!std::isfinite(sweep))
        return;
    char path[512];
    const bool whole = std::fabs(sweep - 2 * M_PI) < 1e-9;
    if (whole) {
        // Start and end on one ray: the whole ellipse, as two half arcs.
        const double ox = 2 * cx - sxp, oy = 2 * cy - syp;
        std::snprintf(path, sizeof path,
                      "M%.3f,%.3f A%.3f,%.3f 0 1 1 %.3f,%.3f A%.3f,%.3f 0 1 1 %.3f,%.3f%s", sxp, syp,
                      rx, ry, ox, oy, rx, ry, sxp, syp, shape == ArcShape::Arc ? "" : " Z");
    } else {
        const int large = sweep > M_PI ? 1 : 0;
        if (shape == ArcShape::Pie)
            std::snprintf(path, sizeof path, "M%.3f,%.3f L%.3f,%.3f A%.3f,%.3f 0 %d 1 %.3f,%.3f Z", cx,
                          cy, sxp, syp, rx, ry, large, exp, eyp);
        else
            std::snprintf(path, sizeof path, "M%.3f,%.3f A%.3f,%.3f 0 %d 1 %.3f,%.3f%s", sxp, syp, rx,
                          ry, large, exp, eyp, shape == ArcShape::Chord ? " Z" : "");
    }
    s->out.truncate(from);
    s->out += "<path d=\"" + QByteArray(path) + "\" style=\"" + style + "\" />\n";
}

void hook_draw_pie(wmfAPI *api, wmfDrawArc_t *d)
{
    drawArcShape(api, d, ArcShape::Pie, sessionOf(api)->original.draw_pie);
}
void hook_draw_chord(wmfAPI *api, wmfDrawArc_t *d)
{
    drawArcShape(api, d, ArcShape::Chord, sessionOf(api)->original.draw_chord);
}
void hook_draw_arc(wmfAPI *api, wmfDrawArc_t *d)
{
    drawArcShape(api, d, ArcShape::Arc, sessionOf(api)->original.draw_arc);
}

// Text, written here rather than by libwmf, which copies the metafile's bytes
// into the SVG unescaped (a "<" or "&" in a caption would break the document).
void hook_draw_text(wmfAPI *api, wmfDrawText_t *t)
{
    Session *s = sessionOf(api);
    s->noteDc(t->dc);
    if (!s->writing || !t->dc || !t->str)
        return;
    const DeviceToSvg map(s->svg());
    if (!map.ok)
        return;
    const double sy = map.sy;
    const double x = map.x(t->pt.x);
    const double y = map.y(t->pt.y);
    const double size = std::fabs(t->font_height * sy);
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(size) || size <= 0)
        return;
    // An opaque background mode (the default of a Windows device context)
    // fills the text's box with the background colour first.
    if (t->dc->bgmode == 2 /* OPAQUE */) {
        const wmfD_Coord corners[4] = {t->bbox.TL, t->bbox.TR, t->bbox.BR, t->bbox.BL};
        QByteArray points;
        bool finite = true;
        for (const wmfD_Coord &c : corners) {
            const double px = map.x(c.x), py = map.y(c.y);
            finite = finite && std::isfinite(px) && std::isfinite(py);
            points += QByteArray::number(px, 'f', 3) + ',' + QByteArray::number(py, 'f', 3) + ' ';
        }
        if (finite)
            s->out += "<polygon points=\"" + points + "\" style=\"fill:" + hexColor(t->dc->bgcolor)
                + "; stroke:none\" />\n";
    }
    const wmfFont *font = t->dc->font;
    const double theta = font ? -(font->lfEscapement / 10.0) * M_PI / 180.0 : 0.0;
    const double c = std::cos(theta), sn = std::sin(theta);
    const wmfRGB &color = t->dc->textcolor;

    char geometry[256];
    std::snprintf(geometry, sizeof geometry,
                  "font-size:%.3f\" transform=\"matrix(%.6f %.6f %.6f %.6f %.3f %.3f)\">", size, c, sn,
                  -sn, c, x, y);
    QByteArray element = "<text x=\"0\" y=\"0\" xml:space=\"preserve\" style=\"font-family:'";
    element += cssFamily(font ? font->lfFaceName : nullptr);
    element += "'; font-weight:";
    element += (font && font->lfWeight >= 600) ? "bold" : "normal";
    element += "; font-style:";
    element += (font && font->lfItalic) ? "italic" : "normal";
    element += "; fill:" + hexColor(color) + "; ";
    element += geometry;
    element += xmlText(t->str);
    element += "</text>\n";
    if (s->out.size() + element.size() > kMaxSvgBytes) {
        s->overflow = true;
        return;
    }
    s->out += element;
}

// Bitmaps, written here because libwmf gives the <image> element the size
// of the destination and also scales it by the destination's pixel size, so
// that the bitmap comes out many times too large. Here the element has the
// bitmap's own size, and one matrix places and scales (or mirrors) it.
void hook_bmp_draw(wmfAPI *api, wmfBMP_Draw_t *d)
{
    Session *s = sessionOf(api);
    s->noteDc(d->dc);
    if (!s->writing || !d->bmp.data || d->crop.w == 0 || d->crop.h == 0)
        return;
    const DeviceToSvg map(s->svg());
    if (!map.ok)
        return;
    const double sx = map.sx, sy = map.sy;
    const double a = d->pixel_width * sx, dd = d->pixel_height * sy;
    const double e = map.x(d->pt.x), f = map.y(d->pt.y);
    if (!std::isfinite(a) || !std::isfinite(dd) || !std::isfinite(e) || !std::isfinite(f) || a == 0
        || dd == 0)
        return;
    char element[320];
    std::snprintf(element, sizeof element,
                  "<image x=\"0\" y=\"0\" width=\"%u\" height=\"%u\" preserveAspectRatio=\"none\" "
                  "transform=\"matrix(%.6f 0 0 %.6f %.3f %.3f)\" xlink:href=\"data:image/png;base64,",
                  unsigned(d->crop.w), unsigned(d->crop.h), a, dd, e, f);
    if (streamPuts(element, s) != 0)
        return;
    wmfStream stream;
    stream.context = s;
    stream.sputs = streamPuts;
    stream.reset = streamReset;
    wmf_ipa_bmp_b64(api, d, &stream);
    char end[] = "\"/>\n";
    streamPuts(end, s);
}

void installHooks(Session &s)
{
    auto *fr = static_cast<wmfFunctionReference *>(s.api->function_reference);
    s.original = *fr;
    fr->flood_interior = hook_flood_interior;
    fr->flood_exterior = hook_flood_exterior;
    fr->draw_pixel = hook_draw_pixel;
    fr->draw_pie = hook_draw_pie;
    fr->draw_chord = hook_draw_chord;
    fr->draw_arc = hook_draw_arc;
    fr->draw_ellipse = hook_draw_ellipse;
    fr->draw_line = hook_draw_line;
    fr->poly_line = hook_poly_line;
    fr->draw_polygon = hook_draw_polygon;
    fr->draw_polypolygon = hook_draw_polypolygon;
    fr->draw_rectangle = hook_draw_rectangle;
    fr->rop_draw = hook_rop_draw;
    fr->bmp_draw = hook_bmp_draw;
    fr->region_frame = hook_region_frame;
    fr->region_paint = hook_region_paint;
    fr->region_clip = hook_region_clip;
    fr->draw_text = hook_draw_text;
}

// Opens libwmf on `data` and scans it. False with *error set on failure.
bool open(Session &s, QByteArray &data, wmfD_Rect *scanned, QString *error)
{
    wmfAPI_Options options;
    std::memset(&options, 0, sizeof options);
    options.context = &s.budget;
    options.malloc = budgetMalloc;
    options.realloc = budgetRealloc;
    options.free = budgetFree;
    options.function = wmf_svg_function;
    const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL
        | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (!bitmapsLookSane(data, readPlaceable(data).present ? kPlaceableBytes : 0)) {
        *error = describe(wmf_E_BadFormat);
        return false;
    }
    wmf_error_t err = wmf_api_create(&s.api, flags, &options);
    if (err != wmf_E_None || !s.api) {
        s.api = nullptr;   // libwmf has destroyed what it made
        *error = describe(err == wmf_E_None ? wmf_E_Glitch : err);
        return false;
    }
    s.api->user_data = &s;
    wmf_status_function(s.api, &s, statusCallback);
    err = wmf_mem_open(s.api, reinterpret_cast<unsigned char *>(data.data()), long(data.size()));
    if (err == wmf_E_None)
        err = wmf_scan(s.api, 0, scanned);
    if (err != wmf_E_None) {
        *error = describe(err);
        return false;
    }
    return true;
}

// Windows draws a pen at least one device pixel wide, however thin its
// width in metafile units; libwmf writes the scaled width as it is.
// `minimum` is one device pixel in the SVG's units.
void widenThinStrokes(QByteArray &svg, double minimum)
{
    static const QByteArray key = "stroke-width:";
    const QByteArray least = QByteArray::number(minimum, 'g', 6);
    for (int at = svg.indexOf(key); at >= 0; at = svg.indexOf(key, at + 1)) {
        const int start = at + key.size();
        int end = start;
        while (end < svg.size() && (std::isdigit(uchar(svg.at(end))) || svg.at(end) == '.'))
            ++end;
        bool ok = false;
        const double width = svg.mid(start, end - start).toDouble(&ok);
        if (ok && width < minimum)
            svg.replace(start, end - start, least);
    }
}

bool validRect(const wmfD_Rect &r)
{
    return std::isfinite(r.TL.x) && std::isfinite(r.TL.y) && std::isfinite(r.BR.x)
        && std::isfinite(r.BR.y) && r.BR.x > r.TL.x && r.BR.y > r.TL.y;
}

} // namespace

bool looksLikeWmf(const QByteArray &head)
{
    if (head.size() >= 4
        && qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(head.constData())) == kPlaceableKey)
        return true;
    return standardHeaderAt(head, 0);
}

Info readInfo(const QByteArray &data)
{
    Info info;
    if (data.size() > kMaxFileBytes) {
        info.error = QStringLiteral("the metafile is too large");
        return info;
    }
    const Placeable p = readPlaceable(data);
    info.placeable = p.present;
    if (!standardHeaderAt(data, p.present ? kPlaceableBytes : 0)) {
        info.error = p.present ? QStringLiteral("the metafile is damaged") : QStringLiteral("not a metafile");
        return info;
    }
    if (p.present && (p.right == p.left || p.bottom == p.top || p.inch == 0)) {
        info.error = QStringLiteral("the metafile has no size");
        return info;
    }
    // libwmf reads every record once (drawing nothing): a metafile that is
    // cut short or has broken records is refused here already.
    Session s;
    QByteArray copy = data;
    wmfD_Rect scanned {};
    if (!open(s, copy, &scanned, &info.error))
        return info;

    double inchW = 0, inchH = 0;
    if (p.present) {
        inchW = std::abs(int(p.right) - int(p.left)) / double(p.inch);
        inchH = std::abs(int(p.bottom) - int(p.top)) / double(p.inch);
    } else if (const Window window = windowFromRecords(data, 0); window.present) {
        inchW = std::abs(window.width) / kPlainUnitsPerInch;
        inchH = std::abs(window.height) / kPlainUnitsPerInch;
    } else {
        float fw = 0, fh = 0;
        if (wmf_size(s.api, &fw, &fh) == wmf_E_None) {
            inchW = fw / kPlainUnitsPerInch;
            inchH = fh / kPlainUnitsPerInch;
        }
    }
    if (!std::isfinite(inchW) || !std::isfinite(inchH) || inchW <= 0 || inchH <= 0) {
        info.error = QStringLiteral("the metafile has no size");
        return info;
    }
    const double pixelsW = inchW * kScreenDpi, pixelsH = inchH * kScreenDpi;
    if (pixelsW > kMaxPictureSide || pixelsH > kMaxPictureSide) {
        info.error = QStringLiteral("the metafile is too large");
        return info;
    }
    info.mm = QSizeF(inchW * kMmPerInch, inchH * kMmPerInch);
    info.pixels = QSize(qMax(1, int(std::lround(pixelsW))), qMax(1, int(std::lround(pixelsH))));
    return info;
}

QByteArray toSvg(const QByteArray &data, const QSize &size, QString *error, double devicePixel)
{
    QString dummy;
    QString &err = error ? *error : dummy;
    err.clear();
    if (data.size() > kMaxFileBytes) {
        err = QStringLiteral("the metafile is too large");
        return {};
    }
    if (size.isEmpty() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) {
        err = QStringLiteral("the requested picture size is not possible");
        return {};
    }
    const Placeable p = readPlaceable(data);
    Session s;
    QByteArray copy = data;
    wmfD_Rect scanned {};
    if (!open(s, copy, &scanned, &err))
        return {};
    installHooks(s);
    wmf_svg_t *svg = s.svg();
    if (!svg) {
        err = describe(wmf_E_DeviceError);
        return {};
    }

    // First pass, writing nothing: learn the mapping from the metafile's
    // units to libwmf's device units, to place the placeable frame.
    svg->out = nullptr;
    svg->bbox = scanned;
    svg->width = unsigned(size.width());
    svg->height = unsigned(size.height());
    wmfD_Rect played = scanned;
    s.records = 0;
    wmf_error_t rc = wmf_play(s.api, 0, &played);
    if (rc != wmf_E_None) {
        err = describe(rc);
        return {};
    }

    // The frame in metafile units: the placeable bounding box, else the
    // window the metafile sets up; mapped to libwmf's device units the way
    // libwmf mapped the first thing drawn.
    wmfD_Rect frame = scanned;
    double left = 0, top = 0, right = 0, bottom = 0;
    bool logicalFrame = false;
    if (p.present) {
        left = p.left, top = p.top, right = p.right, bottom = p.bottom;
        logicalFrame = true;
    } else if (const Window w = windowFromRecords(data, 0); w.present) {
        left = w.ox, top = w.oy, right = double(w.ox) + w.width, bottom = double(w.oy) + w.height;
        logicalFrame = true;
    }
    if (logicalFrame && s.sawDc && s.pixelWidth != 0 && s.pixelHeight != 0) {
        const double x1 = (left - s.windowOx) * s.pixelWidth;
        const double x2 = (right - s.windowOx) * s.pixelWidth;
        const double y1 = (top - s.windowOy) * s.pixelHeight;
        const double y2 = (bottom - s.windowOy) * s.pixelHeight;
        wmfD_Rect placed;
        placed.TL.x = float(qMin(x1, x2));
        placed.BR.x = float(qMax(x1, x2));
        placed.TL.y = float(qMin(y1, y2));
        placed.BR.y = float(qMax(y1, y2));
        if (validRect(placed))
            frame = placed;
    }
    if (!validRect(frame)) {
        // Nothing drawn and no frame: an empty picture of the asked size.
        frame.TL.x = frame.TL.y = 0;
        frame.BR.x = frame.BR.y = 1;
    }

    // Second pass: the SVG itself.
    wmfStream stream;
    stream.context = &s;
    stream.sputs = streamPuts;
    stream.reset = streamReset;
    svg->out = &stream;
    svg->bbox = frame;
    svg->flags |= WMF_SVG_INLINE_IMAGES;
    s.writing = true;
    s.records = 0;
    rc = wmf_play(s.api, 0, &played);
    svg->out = nullptr;
    if (s.overflow) {
        err = describe(wmf_E_UserExit);
        return {};
    }
    if (rc != wmf_E_None) {
        err = describe(rc);
        return {};
    }
    // libwmf draws solid fills half transparent when the background mode is
    // transparent; Windows fills them fully (the mode only concerns hatches
    // and text backgrounds).
    s.out.replace("fill-opacity:0.5;", "fill-opacity:1.0;");
    widenThinStrokes(s.out, devicePixel > 0 && std::isfinite(devicePixel) ? devicePixel : 1.0);
    return s.out;
}

bool draw(const QByteArray &data, QPainter &painter, const QRectF &target, QString *error)
{
    QString dummy;
    QString &err = error ? *error : dummy;
    // The SVG's own coordinates only set the precision of its numbers: a
    // frame of about 4000 units keeps them well under a printer dot.
    const double longest = qMax(target.width(), target.height());
    if (!(longest > 0) || !std::isfinite(longest)) {
        err = QStringLiteral("the requested picture size is not possible");
        return false;
    }
    const double scale = 4096.0 / longest;
    const QSize units(qBound(1, int(std::lround(target.width() * scale)), kMaxPictureSide),
                      qBound(1, int(std::lround(target.height() * scale)), kMaxPictureSide));
    // One pixel of the painter's device, in SVG units: the thinnest pen.
    const QTransform &t = painter.combinedTransform();
    const double devicePerUnit = std::sqrt(std::fabs(t.determinant()));
    const double devicePixel = devicePerUnit > 0 ? (units.width() / target.width()) / devicePerUnit : 1.0;
    const QByteArray svgText = toSvg(data, units, &err, devicePixel);
    if (svgText.isEmpty()) {
        if (err.isEmpty())
            err = describe(wmf_E_Glitch);
        return false;
    }
    QSvgRenderer renderer(svgText);
    if (!renderer.isValid()) {
        err = QStringLiteral("the metafile cannot be drawn");
        return false;
    }
    painter.save();
    // What the metafile draws outside its frame is not part of the picture.
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, target);
    painter.restore();
    err.clear();
    return true;
}

QImage render(const QByteArray &data, const QSize &size, QString *error)
{
    QString dummy;
    QString &err = error ? *error : dummy;
    if (size.isEmpty() || qint64(size.width()) * size.height() > kMaxRenderPixels) {
        err = QStringLiteral("the picture is too large to draw");
        return {};
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        err = QStringLiteral("the picture is too large to draw");
        return {};
    }
    image.fill(Qt::transparent);
    // At pixel sizes the SVG is made at exactly that size: its coordinates
    // are then the image's pixels.
    const QByteArray svgText = toSvg(data, size, &err);
    if (svgText.isEmpty()) {
        if (err.isEmpty())
            err = describe(wmf_E_Glitch);
        return {};
    }
    QSvgRenderer renderer(svgText);
    if (!renderer.isValid()) {
        err = QStringLiteral("the metafile cannot be drawn");
        return {};
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    err.clear();
    return image;
}

} // namespace Wmf
