// Where the program runs, from what the desktop sets and what the user asks
// for, chosen before the application object exists (none here either): X11
// wherever an X server is there, Wayland when it does not answer, Qt's own
// choice where the user named a platform or only Wayland is there, and one
// line saying what to install or set where no window can be opened.

#include "WaitLimit.h"
#include "WindowSystem.h"

#include <QtTest>

#include <cstdio>

class TestWindowSystem : public QObject {
    Q_OBJECT

private slots:
    void choice_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("asked");
        QTest::addColumn<bool>("waylandPlugin");
        QTest::addColumn<QString>("outcome");  // or "stops: " and a word its one line names

        const auto row = [](const char *name, const char *display, const char *waylandDisplay,
                            const char *asked, bool plugin, const char *outcome) {
            QTest::newRow(name) << QByteArray(display) << QByteArray(waylandDisplay)
                                << QByteArray(asked) << plugin << QString(outcome);
        };
        // clang-format off
        row("X11 desktop", ":0", "", "", false, "X11");
        // A native Wayland client could not put the window where it was left.
        row("Wayland desktop with Xwayland", ":0", "wayland-0", "", true, "X11, else Wayland");
        row("Wayland desktop without X", "", "wayland-0", "", true, "Qt's choice");
        row("the same, no qt6-wayland", "", "wayland-0", "", false, "stops: qt6-wayland");
        row("no desktop", "", "", "", true, "stops: xvfb-run");
        row("Wayland asked for on a Wayland desktop", ":0", "wayland-0", "wayland", true, "Qt's choice");
        row("offscreen asked for, no desktop", "", "", "offscreen", false, "Qt's choice");
        // Whoever names a platform gets Qt's own word when it fails.
        row("X11 asked for, no X", "", "wayland-0", "xcb", false, "Qt's choice");
        // clang-format on
    }

    void choice()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, asked);
        QFETCH(bool, waylandPlugin);
        QFETCH(QString, outcome);

        const WindowSystemChoice choice =
            chooseWindowSystem({display, waylandDisplay, asked, waylandPlugin});
        const QString runs = choice.platform == "xcb"           ? "X11"
                             : choice.platform == "xcb;wayland" ? "X11, else Wayland"
                             : choice.platform.isEmpty()        ? "Qt's choice"
                                                                : choice.platform;
        if (outcome.startsWith("stops: "))
            QVERIFY2(choice.problem.contains(outcome.mid(7)) && !choice.problem.contains('\n'),
                     qPrintable(choice.problem));
        else
            QCOMPARE(runs + choice.problem, outcome);
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
        QVERIFY(child.waitForFinished(6 * WaitLimit));
        QCOMPARE(child.readAllStandardOutput(), "wayland\n");
    }

    // What the program reads at start-up: the command line before the
    // environment, an empty QT_QPA_PLATFORM as none.
    void setUp_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("platformBefore");  // "-" for unset
        QTest::addColumn<bool>("windowsPossible");
        QTest::addColumn<QByteArray>("platformAfter");  // "-" for unset

        const auto row = [](const char *name, const QStringList &arguments, const char *display,
                            const char *before, bool possible, const char *after) {
            QTest::newRow(name) << arguments << QByteArray(display) << QByteArray(before) << possible
                                << QByteArray(after);
        };
        // clang-format off
        row("empty QT_QPA_PLATFORM", {}, ":7", "", true, "xcb");
        row("QT_QPA_PLATFORM kept", {}, ":7", "wayland", true, "wayland");
        row("-platform", {"-platform", "offscreen"}, "", "-", true, "-");
        row("--platform, X11", {"--platform", "wayland"}, ":7", "-", true, "-");
        row("-platform without a name", {"-platform"}, "", "-", false, "-");
        row("nothing", {"-style", "fusion"}, "", "-", false, "-");
        // clang-format on
    }

    void setUp()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, platformBefore);

        const auto setOrUnset = [](const char *name, const QByteArray &value) {
            if (value == "-")
                qunsetenv(name);
            else
                qputenv(name, value);
        };
        setOrUnset("DISPLAY", display.isEmpty() ? QByteArray("-") : display);
        setOrUnset("WAYLAND_DISPLAY", "-");
        setOrUnset("QT_QPA_PLATFORM", platformBefore);
        std::vector<QByteArray> storage{"orvane"};
        for (const QString &argument : arguments)
            storage.push_back(argument.toUtf8());
        std::vector<char *> argv;
        for (QByteArray &argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);

        QTEST(setUpWindowSystem(int(storage.size()), argv.data()), "windowsPossible");
        QTEST(qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? qgetenv("QT_QPA_PLATFORM") : "-",
              "platformAfter");
    }
};

int main(int argc, char *argv[])
{
    if (argc == 2 && argv[1] == QByteArrayView("--as-program")) {
        if (!setUpWindowSystem(argc, argv))
            return 1;
        QGuiApplication program(argc, argv);
        return std::printf("%s\n", qPrintable(QGuiApplication::platformName())) < 0;
    }
    TestWindowSystem test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowsystem.moc"
