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

        QTest::newRow("X11") << QByteArray(":0") << QByteArray() << QByteArray() << false
                             << QByteArray("xcb") << QString();
        // Qt would run as a native Wayland client, unable to place the window;
        // Wayland stays second, for an X server that does not answer.
        QTest::newRow("Wayland desktop with Xwayland")
            << QByteArray(":0") << QByteArray("wayland-0") << QByteArray() << true
            << QByteArray("xcb;wayland") << QString();
        QTest::newRow("Wayland only") << QByteArray() << QByteArray("wayland-0") << QByteArray()
                                      << true << QByteArray() << QString();
        QTest::newRow("Wayland only, no plugin")
            << QByteArray() << QByteArray("wayland-0") << QByteArray() << false << QByteArray()
            << QStringLiteral("qt6-wayland");
        QTest::newRow("no display") << QByteArray() << QByteArray() << QByteArray() << true
                                    << QByteArray() << QStringLiteral("WAYLAND_DISPLAY");
        QTest::newRow("Wayland asked for beside X11")
            << QByteArray(":0") << QByteArray("wayland-0") << QByteArray("wayland") << true
            << QByteArray() << QString();
        QTest::newRow("offscreen asked for, no display")
            << QByteArray() << QByteArray() << QByteArray("offscreen") << false << QByteArray()
            << QString();
        // Whoever names a platform gets Qt's own word when it fails.
        QTest::newRow("X11 asked for, no plugin, Wayland only")
            << QByteArray() << QByteArray("wayland-0") << QByteArray("xcb") << false
            << QByteArray() << QString();
    }

    void choice()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, asked);
        QFETCH(bool, waylandPlugin);
        QFETCH(QByteArray, platform);
        QFETCH(QString, problem);

        const WindowSystemChoice choice =
            chooseWindowSystem({display, waylandDisplay, asked, waylandPlugin});
        QCOMPARE(choice.platform, platform);
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

        QTest::newRow("X11") << QStringList() << QByteArray(":7") << QByteArray("-") << true
                             << QByteArray("xcb");
        QTest::newRow("empty QT_QPA_PLATFORM")
            << QStringList() << QByteArray(":7") << QByteArray("") << true << QByteArray("xcb");
        QTest::newRow("QT_QPA_PLATFORM kept")
            << QStringList() << QByteArray(":7") << QByteArray("wayland") << true
            << QByteArray("wayland");
        QTest::newRow("-platform") << QStringList{"-platform", "offscreen"} << QByteArray()
                                   << QByteArray("-") << true << QByteArray("-");
        QTest::newRow("--platform, X11") << QStringList{"--platform", "wayland"} << QByteArray(":7")
                                         << QByteArray("-") << true << QByteArray("-");
        QTest::newRow("-platform without a name")
            << QStringList{"-platform"} << QByteArray() << QByteArray("-") << false
            << QByteArray("-");
        QTest::newRow("nothing") << QStringList{"-style", "fusion"} << QByteArray()
                                 << QByteArray("-") << false << QByteArray("-");
    }

    void setUp()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, platformBefore);
        QFETCH(bool, windowsPossible);
        QFETCH(QByteArray, platformAfter);

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

        QCOMPARE(setUpWindowSystem(int(storage.size()), argv.data()), windowsPossible);
        QCOMPARE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? qgetenv("QT_QPA_PLATFORM")
                                                              : QByteArray("-"),
                 platformAfter);
    }
};

QTEST_APPLESS_MAIN(TestWindowSystem)
#include "tst_windowsystem.moc"
