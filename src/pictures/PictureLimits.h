#pragma once
// Pictures larger than this in either direction (natural pixels) are refused:
// it keeps damaged or hostile headers from asking for gigabytes.
constexpr int kMaxPictureSide = 32768;
