#include "pictures/FitPicture.h"

#include <cmath>
#include <algorithm>

QRect fitPictureRect(const QSize &area, const QSize &picture)
{
    const int pw = area.width(), ph = area.height();
    const int hw = picture.width(), hh = picture.height();
    if (hw <= 0 || hh <= 0)
        return QRect();
    int w = hw, h = hh;
    if (hw > pw || hh > ph) {
        const float r = std::min(float(pw) / float(hw), float(ph) / float(hh));
        // nearbyint rounds half to even in the default rounding mode.
        w = int(std::nearbyint(float(hw) * r));
        h = int(std::nearbyint(float(hh) * r));
    }
    const int x = int(std::floor((pw - w) / 2.0));
    const int y = int(std::floor((ph - h) / 2.0));
    return QRect(x, y, w, h);
}
