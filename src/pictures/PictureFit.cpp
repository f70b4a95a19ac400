#include "pictures/PictureFit.h"

#include <algorithm>
#include <cmath>

PictureFit fitPicture(const QSize &box, const QSize &picture)
{
    const int pw = box.width(), ph = box.height();
    const int iw = picture.width(), ih = picture.height();
    PictureFit fit;
    if (iw <= 0 || ih <= 0)
        return fit;
    int w = iw, h = ih;
    if (iw > pw || ih > ph) {
        const float r = std::min(float(pw) / float(iw), float(ph) / float(ih));
        // The products stay floats; nearbyint rounds half to even in the
        // default rounding mode.
        const float fw = float(iw) * r;
        const float fh = float(ih) * r;
        w = int(std::nearbyint(fw));
        h = int(std::nearbyint(fh));
        fit.scaled = true;
    }
    fit.target = QRect(int(std::floor((pw - w) / 2.0)), int(std::floor((ph - h) / 2.0)), w, h);
    return fit;
}
