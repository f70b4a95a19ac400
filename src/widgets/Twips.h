#pragma once
// The windows were laid out in twips; at 96 dpi 15 twips make a pixel (Qt
// scales whole windows on high-dpi screens). That is the design size at the
// default font: with a larger font (a logical dpi above 96, as a desktop's
// "large text" sets it) the layout grows with it, so no caption, number or
// answer letter is cut.

#include <QRect>

namespace Twips {
constexpr int PerPixel = 15;

// The font's size against the design's: 1 at 96 dpi, 1.5 at 144.
double fontScale();

inline int toPixels(int twips) { return int(twips * fontScale() / PerPixel); }

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
} // namespace Twips
