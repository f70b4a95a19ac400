#pragma once
// File names in the order a file manager lists them: "frame2" before
// "frame10".

#include <QString>

// Compares runs of digits by their value and the rest without regard to
// letter case (QCollator's numeric mode needs ICU, which a plain C locale
// lacks).
bool naturalLess(const QString &a, const QString &b);
