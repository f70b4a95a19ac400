#pragma once
// The window a message box or file dialog belongs to: the one the user is
// working in when it is raised. It owns the box (stays behind it, is blocked
// by it), and a dialog with an owner is centred over it when shown.

class QWidget;

// The active modal dialog, else the active window, else the window that holds
// the keyboard focus, else the first visible ordinary window; a menu or
// tooltip stands for the window it belongs to. nullptr when none is shown.
QWidget *ownerWindow();
