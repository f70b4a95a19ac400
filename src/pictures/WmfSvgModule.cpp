// Windows metafiles turned into SVG by libwmf, and SVG drawn by Qt SVG: the
// module behind WmfSvg.h (see WmfConverter.h).
// Qt first: libwmf's headers #define U8, U16, ... which Qt's headers use.
#include "pictures/WmfConverter.h"
#include "pictures/PictureLimits.h"
#include "pictures/WmfHeader.h"

#include <QPainter>
#include <QSvgRenderer>

#include <QtEndian>

#include <cctype>
#include <cmath>
#include <cstdio>
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
namespace Libwmf {
namespace {

// Bounds against hostile files.
constexpr size_t kMaxLibwmfBytes = 256u * 1024 * 1024;   // libwmf's own allocations
constexpr unsigned long kMaxRecords = 1000000;            // records per pass
constexpr int kMaxSvgBytes = 32 * 1024 * 1024;            // SVG text

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
        text.append(c >= 0x80 && c < 0xA0 ? QChar(high[c - 0x80]) : QChar(char16_t(c)));
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

bool scan(const QByteArray &data, QSizeF *extent, QString *error)
{
    Session s;
    QByteArray copy = data;
    wmfD_Rect scanned {};
    if (!open(s, copy, &scanned, error))
        return false;
    float fw = 0, fh = 0;
    *extent = wmf_size(s.api, &fw, &fh) == wmf_E_None ? QSizeF(fw, fh) : QSizeF();
    return true;
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

} // namespace Libwmf
} // namespace Wmf

namespace {
class LibwmfConverter : public WmfConverter {
public:
    bool scan(const QByteArray &data, QSizeF *extent, QString *error) override
    {
        return Wmf::Libwmf::scan(data, extent, error);
    }

    QByteArray toSvg(const QByteArray &data, const QSize &size, QString *error, double devicePixel) override
    {
        return Wmf::Libwmf::toSvg(data, size, error, devicePixel);
    }

    bool drawSvg(const QByteArray &svg, QPainter &painter, const QRectF &target) override
    {
        QSvgRenderer renderer(svg);
        if (!renderer.isValid())
            return false;
        renderer.render(&painter, target);
        return true;
    }
};
}

extern "C" Q_DECL_EXPORT WmfConverter *ardeno_create_wmf_converter(int version)
{
    return version == kWmfConverterInterfaceVersion ? new LibwmfConverter : nullptr;
}
