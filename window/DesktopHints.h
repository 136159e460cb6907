#pragma once
// Hints to the desktop that Qt has no call for.

class QWidget;

// Asks the window manager to leave the window out of the taskbar. Call it
// before the window is first shown; elsewhere than on X11 it does nothing.
void keepOffTaskbar(QWidget *window);
