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

Thumbnail thumbnailRect(const QSize &box, const QSize &picture)
{
    const int pw = box.width(), ph = box.height();
    const int iw = picture.width(), ih = picture.height();
    Thumbnail t;
    if (iw <= 0 || ih <= 0)
        return t;
    if (iw > pw || ih > ph) {
        // The factor is a single-precision number; the products are taken
        // exactly (a whole number times a float fits a double) and rounded
        // half to even (the default rounding mode of nearbyint). Rounding the
        // product to a float first would turn 3 x (117/702) into exactly 0.5.
        const float r = std::min(float(pw) / float(iw), float(ph) / float(ih));
        const int nw = int(std::nearbyint(double(iw) * double(r)));
        const int nh = int(std::nearbyint(double(ih) * double(r)));
        const int x = int(std::floor((pw - nw) / 2.0));
        const int y = int(std::floor((ph - nh) / 2.0));
        t.target = QRect(x, y, nw, nh);
        t.scaled = true;
    } else {
        const int x = int(std::floor((pw - iw) / 2.0));
        const int y = int(std::floor((ph - ih) / 2.0));
        t.target = QRect(x, y, iw, ih);
    }
    return t;
}
