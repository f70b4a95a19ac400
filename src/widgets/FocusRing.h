#pragma once
// The keyboard's place in every window, seen at a glance: a focused button,
// option or check box is ringed in solid black, 2 pixels (the style's own
// thin frame is 1.4:1 on a light background, and the default button looked
// focused all the time). Installed once, for the whole program.

namespace FocusRing {
void useForProgram();
}
