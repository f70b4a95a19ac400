#pragma once
// The windows were laid out in twips; at 96 dpi 15 twips make a pixel (Qt
// scales whole windows on high-dpi screens).

#include <QRect>

namespace Twips {
constexpr int PerPixel = 15;

constexpr int toPixels(int twips) { return twips / PerPixel; }

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
} // namespace Twips
