#include "WindowSystem.h"

#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt's platform plugins for Wayland (libqwayland-generic.so and its kin), in
// the folders Qt looks in for platform plugins.
bool waylandPluginInstalled()
{
    QStringList folders{QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"),
                        qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH")};
    const QStringList pluginPaths =
        qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString &path : pluginPaths)
        folders << path + QStringLiteral("/platforms");
    for (const QString &folder : folders) {
        if (!folder.isEmpty() &&
            !QDir(folder).entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}

// The platform named on the command line: Qt takes "-platform NAME" (or
// "--platform NAME") before QT_QPA_PLATFORM.
QByteArray platformArgument(int argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-platform" || arg == "--platform")
            return argv[i + 1];
    }
    return {};
}

}  // namespace

WindowSystemChoice chooseWindowSystem(const WindowSystemEnvironment &environment)
{
    // Whoever names a platform gets it, and Qt's own message if it fails.
    if (!environment.askedPlatform.isEmpty())
        return {};
    // X11 through any X server, Xwayland included: there the main window can
    // be put where it was left. On a Wayland desktop whose X server cannot be
    // reached, Qt goes on to run as a native Wayland client.
    if (!environment.x11Display.isEmpty())
        return {environment.waylandDisplay.isEmpty() ? "xcb" : "xcb;wayland", {}};
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
    // A Wayland desktop only: Qt runs as its native client.
    return {};
}

bool setUpWindowSystem(int argc, char **argv)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    WindowSystemEnvironment environment;
    environment.x11Display = qgetenv("DISPLAY");
    environment.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    environment.askedPlatform = platformArgument(argc, argv);
    if (environment.askedPlatform.isEmpty())
        environment.askedPlatform = qgetenv("QT_QPA_PLATFORM");
    environment.waylandPluginInstalled = waylandPluginInstalled();

    const WindowSystemChoice choice = chooseWindowSystem(environment);
    if (!choice.problem.isEmpty()) {
        std::fprintf(stderr, "orvane: %s\n", qPrintable(choice.problem));
        return false;
    }
    if (!choice.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", choice.platform);
#else
    // Windows and macOS have one window system each.
    Q_UNUSED(argc);
    Q_UNUSED(argv);
#endif
    return true;
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
