// Where the program runs, from what the desktop sets and what the user asks
// for, chosen before the application object exists (none here either).

#include "WaitLimit.h"
#include "WindowSystem.h"

#include <QtTest>

#include <cstdio>
#include <sys/socket.h>
#include <sys/un.h>

class TestWindowSystem : public QObject {
    Q_OBJECT

    QTemporaryDir runtime;  // $XDG_RUNTIME_DIR, where a compositor "wayland-0" listens

private slots:
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        sockaddr_un address{AF_UNIX, {}};
        qstrncpy(address.sun_path, qPrintable(runtime.filePath("wayland-0")), sizeof address.sun_path);
        const int compositor = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(::bind(compositor, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
                ::listen(compositor, 8) == 0);
    }

    // The environment ("-": unset) and the command line at the program's
    // start, and where it then runs, or that it stops.
    void choice_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("asked");  // QT_QPA_PLATFORM
        QTest::addColumn<QString>("outcome");

        const auto row = [](const char *name, const QStringList &arguments, const char *display,
                            const char *waylandDisplay, const char *asked, const char *outcome) {
            QTest::newRow(name) << arguments << QByteArray(display) << QByteArray(waylandDisplay)
                                << QByteArray(asked) << QString(outcome);
        };
        // clang-format off
        row("X11 desktop", {}, ":0", "-", "-", "X11");
        // A native Wayland client could not put the window where it was left.
        row("Wayland desktop with Xwayland", {}, ":0", "wayland-0", "-", "X11, else Wayland");
        row("Wayland desktop without X", {}, "-", "wayland-0", "-", "Qt's choice");  // qt6-wayland there
        // A terminal left over from an ended session: Qt would abort.
        row("ended Wayland desktop", {}, "-", "wayland-9", "-", "stops");
        row("ended Wayland desktop, Wayland asked for", {}, "-", "wayland-9", "wayland", "stops");
        row("ended Wayland desktop, X11 desktop", {}, ":0", "wayland-9", "-", "X11");
        row("no desktop", {"-style", "fusion"}, "-", "-", "-", "stops");
        row("empty QT_QPA_PLATFORM", {}, ":0", "-", "", "X11");
        // Whoever names a platform gets Qt's own word when it fails.
        row("Wayland asked for on a Wayland desktop", {}, ":0", "wayland-0", "wayland", "Qt's choice");
        row("X11 asked for, no X", {}, "-", "wayland-0", "xcb", "Qt's choice");
        row("-platform, no desktop", {"-platform", "offscreen"}, "-", "-", "-", "Qt's choice");
        row("--platform, X11 desktop", {"--platform", "wayland"}, ":0", "-", "-", "Qt's choice");
        row("-platform without a name", {"-platform"}, "-", "-", "-", "stops");
        // clang-format on
    }

    void choice()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, asked);
        const std::pair<const char *, QByteArray> environment[] = {
            {"DISPLAY", display}, {"WAYLAND_DISPLAY", waylandDisplay}, {"QT_QPA_PLATFORM", asked}};
        for (const auto &[name, value] : environment)
            value == "-" ? qunsetenv(name) : qputenv(name, value);
        std::vector<QByteArray> storage{"orvane"};
        for (const QString &argument : arguments)
            storage.push_back(argument.toUtf8());
        std::vector<char *> argv;
        for (QByteArray &argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);

        const bool runs = setUpWindowSystem(int(storage.size()), argv.data());
        const QByteArray platform =
            qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? qgetenv("QT_QPA_PLATFORM") : "-";
        QTEST(!runs                       ? "stops"
              : platform == asked         ? "Qt's choice"
              : platform == "xcb"         ? "X11"
              : platform == "xcb;wayland" ? "X11, else Wayland"
                                          : QString(platform),
              "outcome");
    }

    // Where no window can be opened, one line says what to install or set.
    void whatToInstall()
    {
        for (const auto &[choice, word] :
             {std::pair{chooseWindowSystem({"", "wayland-0", "", false, true}), "qt6-wayland"},
              std::pair{chooseWindowSystem({}), "xvfb-run"},
              std::pair{chooseWindowSystem({"", "wayland-9", "wayland", true, false}), "DISPLAY"}})
            QVERIFY2(choice.problem.contains(word) && !choice.problem.contains('\n'),
                     qPrintable(choice.problem));
    }

    // On a Wayland desktop whose X server does not answer, the program goes
    // on as a native Wayland client: this test started again as the program
    // starts, on a Wayland desktop of its own with DISPLAY naming no server.
    void waylandFallback()
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QFINDTESTDATA("../../scripts/with-wayland"),
                    {"env", "-u", "QT_QPA_PLATFORM", "DISPLAY=:4711",
                     QFileInfo("/proc/self/exe").canonicalFilePath(), "--as-program"});
        QVERIFY(child.waitForFinished(2 * WaitLimit));  // within the test's own limit
        QCOMPARE(child.readAllStandardOutput(), "wayland\n");
    }
};

int main(int argc, char *argv[])
{
    if (argc == 2 && argv[1] == QByteArrayView("--as-program")) {
        if (!setUpWindowSystem(argc, argv))
            return 1;
        QGuiApplication program(argc, argv);
        return endRun(std::printf("%s\n", qPrintable(QGuiApplication::platformName())) < 0);
    }
    TestWindowSystem test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowsystem.moc"
