#pragma once
// Pictures larger than this in either direction (natural pixels), or of more
// pixels than the budget, are refused from their header, before anything is
// decoded, with a message naming the file and its size in pixels: a damaged
// or hostile header (a 1 KB JPEG claiming 32000 × 32000) must not cost
// gigabytes and minutes. 64 megapixels (256 MB decoded) is generous for a quiz.
#include <QtGlobal>

constexpr int kMaxPictureSide = 32768;
constexpr qint64 kPictureBudgetPixels = 64ll * 1024 * 1024;
