#pragma once
// The picture a video shows at a given time, decoded and converted exactly
// as the video device does for the picture box (ardeno-tool frame, tests).

#include <QImage>
#include <QString>

// The picture shown `seconds` after the start (the last one whose time has
// come; past the end, the last picture), at the video's natural size. A null
// image with the reason in `error` when the file cannot be decoded or has no
// pictures.
QImage videoPictureAt(const QString &path, double seconds, QString *error = nullptr);
