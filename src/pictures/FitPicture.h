#pragma once
// Where the preview draws a picture inside its display area: centred at its
// own size when it fits, otherwise shrunk with its proportions kept until it
// fits in both directions. Never enlarged.

#include <QRect>
#include <QSize>

// area: the inner size of the display area; picture: the picture's natural
// size, in the same unit. The scale is held in single precision and the
// scaled sizes round half to even, as the quiz player's arithmetic does.
QRect fitPictureRect(const QSize &area, const QSize &picture);
