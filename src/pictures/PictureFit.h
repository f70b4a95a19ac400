#pragma once
// Where a picture is drawn inside a box: centred at its own size when it
// fits, otherwise shrunk with its proportions kept until it fits in both
// directions; never enlarged. The editor's thumbnail and the preview's
// picture both place their pictures with this one rule.

#include <QRect>
#include <QSize>

struct PictureFit {
    QRect target;          // inside the box; empty for a picture without size
    bool scaled = false;   // shrunk to fit
};

// box: the inner size of the box; picture: the picture's natural size, in
// the same unit. The ratio is a single-precision value and the scaled sizes
// are single-precision products rounded half to even, as the quiz player's
// arithmetic does (so 3 x 117/702 is exactly 0.5 and becomes 0); the offsets
// drop their fractions.
PictureFit fitPicture(const QSize &box, const QSize &picture);

// The inner side of the preview's picture box (4095 twips square, 273 pixels
// at 96 dpi, less its sunken border of 2 pixels each side): where the
// preview and the web quiz fit a question's picture.
constexpr int kPreviewPictureInner = 269;
