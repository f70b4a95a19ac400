// The one fitting rule the editor's thumbnail and the preview's picture share,
// as one table: box, picture, where it is drawn, whether it was shrunk.
#include "pictures/PictureFit.h"

#include <gtest/gtest.h>

namespace {
struct FitCase {
    const char *name;
    QSize box, picture;
    QRect target;
    bool scaled;
};

const FitCase kCases[] = {
    // Fits: centred at its own size, offsets lose their fractions.
    {"small in thumbnail", {117, 117}, {50, 40}, {33, 38, 50, 40}, false},
    {"exact fit", {117, 117}, {117, 117}, {0, 0, 117, 117}, false},
    {"odd remainders", {10, 10}, {3, 4}, {3, 3, 3, 4}, false},
    {"small in preview", {269, 269}, {40, 30}, {114, 119, 40, 30}, false},
    {"fills preview", {4000, 4000}, {4000, 4000}, {0, 0, 4000, 4000}, false},
    // Too large: one single-precision ratio, products rounded half to even.
    {"wide, 58.5 to even", {117, 117}, {234, 117}, {0, 29, 117, 58}, true},
    {"tall, 29.25", {117, 117}, {100, 400}, {44, 0, 29, 117}, true},
    {"too high only", {117, 117}, {60, 234}, {43, 0, 30, 117}, true},
    {"large photo", {117, 117}, {6000, 4000}, {0, 19, 117, 78}, true},
    {"too wide only", {269, 269}, {800, 200}, {0, 101, 269, 67}, true},
    {"2.5 to even", {5, 5}, {10, 5}, {0, 1, 5, 2}, true},
    {"wide in preview", {4000, 4000}, {8000, 2000}, {0, 1500, 4000, 1000}, true},
    {"tall in preview", {4000, 4000}, {1000, 8000}, {1750, 0, 500, 4000}, true},
    // The two where double-precision products would differ: 138 x (269/276)
    // and 3 x (117/702) are exactly halves as single-precision products.
    {"138x276 in 269", {269, 269}, {138, 276}, {67, 0, 134, 269}, true},
    {"3x702 in 117", {117, 117}, {3, 702}, {58, 0, 0, 117}, true},
};
}

TEST(PictureFit, OneTableForThumbnailAndPreview)
{
    for (const FitCase &c : kCases) {
        const PictureFit fit = fitPicture(c.box, c.picture);
        EXPECT_EQ(fit.target, c.target) << c.name;
        EXPECT_EQ(fit.scaled, c.scaled) << c.name;
    }
}

TEST(PictureFit, PictureWithoutSizeIsNotDrawn)
{
    EXPECT_TRUE(fitPicture({5, 5}, {0, 5}).target.isEmpty());
    EXPECT_TRUE(fitPicture({117, 117}, {40, -1}).target.isEmpty());
}
