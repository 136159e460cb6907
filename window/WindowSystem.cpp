#include "WindowSystem.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

WindowSystemChoice chooseWindowSystem(const WindowSystemEnvironment &environment)
{
    const QString noCompositor =
        QStringLiteral("cannot open a window: no Wayland desktop answers at WAYLAND_DISPLAY (%1), "
                       "the desktop it names has ended; start it from a running desktop, or set "
                       "DISPLAY to an X server")
            .arg(environment.waylandDisplay.isEmpty() ? QStringLiteral("wayland-0")
                                                    : QString::fromLocal8Bit(environment.waylandDisplay));
    // Whoever names a platform gets it, and Qt's own message if it fails;
    // but Qt aborts where the Wayland desktop asked for is gone.
    if (!environment.askedPlatform.isEmpty()) {
        if (environment.askedPlatform.startsWith("wayland") && !environment.waylandAnswers)
            return {{}, noCompositor};
        return {};
    }
    // X11 through any X server, Xwayland included: there the main window can
    // be put where it was left. On a Wayland desktop whose X server cannot be
    // reached, Qt goes on to run as a native Wayland client.
    if (!environment.x11Display.isEmpty())
        return {!environment.waylandDisplay.isEmpty() && environment.waylandAnswers ? "xcb;wayland" : "xcb",
                {}};
    if (environment.waylandDisplay.isEmpty()) {
        return {{},
                QStringLiteral("cannot open a window: neither DISPLAY (an X server) nor "
                               "WAYLAND_DISPLAY (a Wayland desktop) is set; start it from a "
                               "desktop, or without one under a virtual X server: "
                               "xvfb-run orvane (package xvfb)")};
    }
    if (!environment.waylandPluginInstalled) {
        return {{},
                QStringLiteral("cannot open a window: WAYLAND_DISPLAY is set but not DISPLAY, "
                               "and Qt's Wayland platform is not installed; install the package "
                               "qt6-wayland, or set DISPLAY to the desktop's X server (Xwayland)")};
    }
    if (!environment.waylandAnswers)
        return {{}, noCompositor};
    // A Wayland desktop only: Qt runs as its native client.
    return {};
}

bool canPlaceWindows()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

int endRun(int status)
{
    if (canPlaceWindows())
        return status;
    std::fflush(nullptr);
    std::_Exit(status);
}
