#pragma once
// The font every window of the program was drawn with: MS Sans Serif. Where
// it is missing, Liberation Sans (Arial's widths) keeps the texts inside the
// boxes drawn for them; the system's usual substitute is much wider.

#include <QFont>

namespace WindowFont {
QFont sansSerif(int pointSize, bool bold = false);
// Makes the windows' font the program's: message boxes, file dialogs and
// every window without a font of its own use it too.
void useForProgram();
}
