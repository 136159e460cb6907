#include "WindowSystem.h"

#include <QDir>
#include <QGuiApplication>
#include <QLibraryInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

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

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
// Whether a compositor listens at WAYLAND_DISPLAY ("wayland-0" when unset),
// a socket's name in $XDG_RUNTIME_DIR or its whole path, as Wayland's client
// library finds it. A socket handed over in WAYLAND_SOCKET is taken as
// answering. Qt 6.4 aborts where none answers.
bool waylandAnswers()
{
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET"))
        return true;
    QByteArray path = qgetenv("WAYLAND_DISPLAY");
    if (path.isEmpty())
        path = "wayland-0";
    if (!path.startsWith('/'))
        path = qgetenv("XDG_RUNTIME_DIR") + '/' + path;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::copy(path.cbegin(), path.cend(), address.sun_path);
    // Without blocking: a compositor that listens but is too busy to take
    // the connection yet (EAGAIN) is there all the same.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const bool answers =
        fd >= 0 && (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 ||
                    errno == EAGAIN);
    if (fd >= 0)
        ::close(fd);
    return answers;
}
#endif

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

bool setUpWindowSystem(int argc, char **argv)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    WindowSystemEnvironment environment;
    environment.x11Display = qgetenv("DISPLAY");
    environment.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    environment.askedPlatform = platformArgument(argc, argv);
    if (environment.askedPlatform.isEmpty())
        environment.askedPlatform = qgetenv("QT_QPA_PLATFORM");
    // The two probes (a folder listing, a connection) only where the choice
    // turns on them: a platform named other than Wayland, or no Wayland desktop
    // named, leaves them unread; the plugin counts only where X11 cannot be had.
    const bool waylandInPlay = environment.askedPlatform.isEmpty()
                                   ? !environment.waylandDisplay.isEmpty()
                                   : environment.askedPlatform.startsWith("wayland");
    if (waylandInPlay) {
        environment.waylandPluginInstalled =
            environment.x11Display.isEmpty() && waylandPluginInstalled();
        environment.waylandAnswers = waylandAnswers();
    }

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
