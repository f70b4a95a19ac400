#pragma once
// Where the windows draw a picture inside an area: centred at its own size
// when it fits, otherwise shrunk with its proportions kept until it fits in
// both directions. Never enlarged. The preview and the editor's thumbnail
// each have their own arithmetic, as the quiz player and the editor had.

#include <QRect>
#include <QSize>

// area: the inner size of the display area; picture: the picture's natural
// size, in the same unit. The scale is held in single precision and the
// scaled sizes round half to even, as the quiz player's arithmetic does.
QRect fitPictureRect(const QSize &area, const QSize &picture);

// Where the media panel draws a picture of natural size `picture` in a box of
// inner size `box`: shrunk by one single-precision factor (sizes rounded half
// to even) when it is too large in either direction, never enlarged, and
// centred with the fractions of the offsets dropped.
struct Thumbnail {
    QRect target;
    bool scaled = false;
};
Thumbnail thumbnailRect(const QSize &box, const QSize &picture);
