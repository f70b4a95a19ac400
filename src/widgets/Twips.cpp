#include "widgets/Twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace Twips {
double fontScale()
{
    // Read once: the windows are laid out for the screen the program starts on.
    static const double scale = [] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
        return dpi > 96.0 ? dpi / 96.0 : 1.0;
    }();
    return scale;
}
}
