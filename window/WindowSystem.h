#pragma once
// Which window system the program runs on, and what a window may do there.
//
// The main window opens where it was left, so the program needs a window
// system that lets it place its windows and tells it where they are. X11
// does, and so does Xwayland, the X server every common Wayland desktop
// runs. A native Wayland client may do neither: the compositor places every
// window and keeps its position to itself. Qt 6.4 runs as a native Wayland
// client whenever WAYLAND_DISPLAY is set and its Wayland plugin is installed,
// so the program asks for X11 itself wherever an X server is there.

#include <QByteArray>
#include <QString>

// What the choice depends on, as the program finds it at start-up.
struct WindowSystemEnvironment {
    QByteArray x11Display;  // DISPLAY
    QByteArray waylandDisplay;  // WAYLAND_DISPLAY
    // QT_QPA_PLATFORM, or the argument of -platform, which Qt prefers to it
    QByteArray askedPlatform;
    bool waylandPluginInstalled = false;
    // Whether a Wayland desktop takes clients at WAYLAND_DISPLAY: a terminal
    // left over from an ended session still names its compositor.
    bool waylandAnswers = false;
};

struct WindowSystemChoice {
    QByteArray platform;  // to set as QT_QPA_PLATFORM; empty leaves Qt's own choice
    QString problem;  // not empty: no window can be opened; says what to install or set
};

WindowSystemChoice chooseWindowSystem(const WindowSystemEnvironment &environment);

// Before the application object exists: reads the environment and the
// command line and sets the platform chosen. Where no window can be opened it
// prints one line saying why and returns false: Qt would abort.
bool setUpWindowSystem(int argc, char **argv);

// Whether the program may put its top-level windows where it wants and learn
// where they are: false for a native Wayland client.
bool canPlaceWindows();

// What main returns once the run is over: the run's status. A native Wayland
// client instead ends here with it, once its output is written: Qt 6.4 can
// wait for ever tearing down its Wayland connection, and has nothing left to
// do there that anyone would see (its windows are gone, the settings saved).
int endRun(int status);
