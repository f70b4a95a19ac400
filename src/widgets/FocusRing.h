#pragma once
// The keyboard's place in every window, seen at a glance: a focused button,
// option or check box is ringed in solid black, 2 pixels (the style's own
// thin frame is 1.4:1 on a light background, and the default button looked
// focused all the time). Installed once, for the whole program.

class QWidget;

namespace FocusRing {
void useForProgram();
// The same ring around a pane that draws no focus of its own (a chart, an
// empty list): a 2-pixel frame, black while it has the keyboard. The
// widget has its object name.
void frameWhenFocused(QWidget *pane);
}
