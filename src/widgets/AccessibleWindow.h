#pragma once
// A window built on a plain QWidget (the preview, the AVI maker) reaches
// assistive technology as a "filler" panel unless told otherwise: marked
// here, it is a window, as the editor (a main window) and the dialogs are.

class QWidget;

namespace AccessibleWindow {
// Makes `window` a window to screen readers: role Window, named by its title.
void mark(QWidget *window);
}
