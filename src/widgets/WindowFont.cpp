#include "widgets/WindowFont.h"

#include <QApplication>

#include <QStringList>

namespace WindowFont {
QFont sansSerif(int pointSize, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

void useForProgram()
{
    QApplication::setFont(sansSerif(8));
}
} // namespace WindowFont
