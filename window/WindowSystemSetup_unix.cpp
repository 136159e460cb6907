// Start-up on a system with more than one window system: X11, and Wayland
// where Qt's Wayland plugin is installed. Which one the program runs on is
// chosen before Qt opens one, so that a dead compositor named in
// WAYLAND_DISPLAY gets a sentence instead of Qt's abort.

#include "WindowSystem.h"

#include <QDir>
#include <QLibraryInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

bool setUpWindowSystem(int argc, char **argv)
{
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
    return true;
}
