#include "media/MciText.h"

#include "pictures/PictureFit.h"

QString signedNumber(int n)
{
    return n >= 0 ? QLatin1Char(' ') + QString::number(n) : QString::number(n);
}

int halfRoundedToEven(int n)
{
    if (n % 2 == 0)
        return n / 2;
    const int lower = n >= 0 ? n / 2 : -((1 - n) / 2);    // floor(n / 2)
    return lower % 2 == 0 ? lower : lower + 1;
}

QString fillDestinationCommand(int boxWidth, int boxHeight)
{
    return QStringLiteral("put movie destination at 0 0 ") + signedNumber(boxWidth) + QLatin1Char(' ')
           + signedNumber(boxHeight);
}

QString aviDestinationCommand(int boxWidth, int boxHeight, int videoWidth, int videoHeight)
{
    if (videoWidth > boxWidth && videoHeight > boxHeight)
        return fillDestinationCommand(boxWidth, boxHeight);
    if (videoWidth > boxWidth || videoHeight > boxHeight) {
        const QRect r = fitPicture(QSize(boxWidth, boxHeight), QSize(videoWidth, videoHeight)).target;
        return QStringLiteral("put movie destination at ") + signedNumber(r.x()) + QLatin1Char(' ') + signedNumber(r.y())
               + QLatin1Char(' ') + signedNumber(r.width()) + QLatin1Char(' ') + signedNumber(r.height());
    }
    const int x = halfRoundedToEven(boxWidth - videoWidth);
    const int y = halfRoundedToEven(boxHeight - videoHeight);
    return QStringLiteral("put movie destination at ") + signedNumber(x) + QLatin1Char(' ') + signedNumber(y)
           + QLatin1Char(' ') + signedNumber(videoWidth) + QLatin1Char(' ') + signedNumber(videoHeight);
}
