// The windows as a native Wayland client (scripts/with-wayland), where the compositor keeps each
// window with its opener: a help window opened beside the main window still outlives it.

#include "WindowFixture.h"
#include "WindowSystem.h"

class TestWayland : public QObject {
    Q_OBJECT

    QTemporaryDir config_;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        installProgramWiring();
    }

    void helpWindowOutlivesTheMainWindow()
    {
        QPointer<frmMain> main = showWindow<frmMain>();
        QVERIFY(main && QTest::qWaitForWindowExposed(main, WaitLimit));
        main->findChild<QPushButton *>("cmdRobotValues")->click();
        QPointer<frmRobotValues> help = loadedWindow<frmRobotValues>();
        QVERIFY(help && QTest::qWaitForWindowExposed(help, WaitLimit));
        QCOMPARE(help->windowHandle()->transientParent(), main->windowHandle());

        QVERIFY(main->close());
        QTRY_VERIFY_WITH_TIMEOUT(!main, WaitLimit);
        QVERIFY(help && help->isVisible() && help->windowHandle()->isExposed());
    }
};

// Ends as the program does, without the Wayland teardown that can hang in Qt 6.4.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestWayland test;
    return endRun(QTest::qExec(&test, argc, argv));
}
#include "tst_wayland.moc"
