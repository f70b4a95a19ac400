#pragma once
// The fixed parts of a Windows metafile (WMF) that are read without libwmf:
// the placeable header with the picture's frame, the standard header, the
// window a metafile sets up before it draws, and the bitmaps inside it,
// which are checked before libwmf sees them.

#include <QByteArray>
#include <QtGlobal>

namespace Wmf {

// Larger files are refused before libwmf sees them.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr int kPlaceableBytes = 22;
constexpr int kHeaderBytes = 18;
// A metafile without a placeable header: its window is taken as twips.
constexpr double kPlainUnitsPerInch = 1440.0;
// The largest picture drawn, and the largest bitmap inside a metafile.
constexpr qint64 kMaxRenderPixels = 64ll * 1024 * 1024;   // 256 MB of ARGB

// True when the bytes start like a metafile: the placeable key 0x9AC6CDD7,
// or a standard metafile header (type 1 or 2, header size 9 words).
bool looksLikeWmf(const QByteArray &head);

struct Placeable {
    bool present = false;
    qint16 left = 0, top = 0, right = 0, bottom = 0;
    quint16 inch = 0;
};

Placeable readPlaceable(const QByteArray &data);

// A standard metafile header (type 1 or 2, 9 words) at `offset`.
bool standardHeaderAt(const QByteArray &data, int offset);

// The window origin and extent a metafile sets before it draws: the frame
// of a metafile without a placeable header.
struct Window {
    bool present = false;
    int ox = 0, oy = 0, width = 0, height = 0;
};

// The window set before the first drawing record of the metafile whose
// standard header is at `offset`.
Window windowFromRecords(const QByteArray &data, int offset);

// Every bitmap-carrying record of the metafile holds a sane bitmap. libwmf's
// bitmap reader trusts the header and can loop for ever on a broken one.
bool bitmapsLookSane(const QByteArray &data, int offset);

} // namespace Wmf
