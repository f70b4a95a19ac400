#include "media/VideoPictureAt.h"
#include "media/VideoPlayback.h"

QImage videoPictureAt(const QString &path, double seconds, QString *error)
{
    QString why;
    const std::unique_ptr<MediaDecoder> decoder = openMediaDecoder(path, false, &why);
    if (decoder && !decoder->videoSize().isValid())
        why = QStringLiteral("it holds no pictures");
    if (!decoder || !decoder->videoSize().isValid()) {
        if (error)
            *error = why;
        return {};
    }
    const qint64 due = qint64(seconds * 1000.0 + 0.5);
    QImage shown;
    for (;;) {
        QImage picture;
        qint64 ms = 0;
        QByteArray samples;
        const MediaDecoder::Item item = decoder->next(&picture, &ms, &samples);
        if (item == MediaDecoder::Item::Picture) {
            if (ms > due && !shown.isNull())
                break;
            shown = picture;                 // before its time only when nothing came earlier
        } else if (item != MediaDecoder::Item::Sound) {
            break;                           // the end (or a damaged rest): the last picture stays
        }
    }
    return shown;
}
