// The window system chosen before the application object exists: X11
// wherever an X server is there, Qt's own choice wherever the user named a
// platform, and one line saying what to install or set where no window can
// be opened. No application object here, as at the program's start.

#include "WindowSystem.h"

#include <QtTest>

class TestWindowSystem : public QObject {
    Q_OBJECT

private slots:
    void choice_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("asked");
        QTest::addColumn<bool>("waylandPlugin");
        QTest::addColumn<QByteArray>("platform");  // to set; empty: Qt's own
        QTest::addColumn<QString>("problem");  // a word the problem names; empty: none

        const auto row = [](const char *name, const char *display, const char *waylandDisplay,
                            const char *asked, bool plugin, const char *platform, const char *problem) {
            QTest::newRow(name) << QByteArray(display) << QByteArray(waylandDisplay)
                                << QByteArray(asked) << plugin << QByteArray(platform) << QString(problem);
        };
        // clang-format off
        row("X11", ":0", "", "", false, "xcb", "");
        // Qt would run as a native Wayland client, unable to place the window;
        // Wayland stays second, for an X server that does not answer.
        row("Wayland desktop with Xwayland", ":0", "wayland-0", "", true, "xcb;wayland", "");
        row("Wayland only", "", "wayland-0", "", true, "", "");
        row("Wayland only, no plugin", "", "wayland-0", "", false, "", "qt6-wayland");
        row("no display", "", "", "", true, "", "WAYLAND_DISPLAY");
        row("Wayland asked for beside X11", ":0", "wayland-0", "wayland", true, "", "");
        row("offscreen asked for, no display", "", "", "offscreen", false, "", "");
        // Whoever names a platform gets Qt's own word when it fails.
        row("X11 asked for, no plugin, Wayland only", "", "wayland-0", "xcb", false, "", "");
        // clang-format on
    }

    void choice()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, asked);
        QFETCH(bool, waylandPlugin);
        QFETCH(QString, problem);

        const WindowSystemChoice choice =
            chooseWindowSystem({display, waylandDisplay, asked, waylandPlugin});
        QTEST(choice.platform, "platform");
        if (problem.isEmpty()) {
            QCOMPARE(choice.problem, QString());
        } else {
            QVERIFY2(choice.problem.contains(problem), qPrintable(choice.problem));
            QVERIFY2(!choice.problem.contains(u'\n'), "one line");
        }
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
        row("X11", {}, ":7", "-", true, "xcb");
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

QTEST_APPLESS_MAIN(TestWindowSystem)
#include "tst_windowsystem.moc"
