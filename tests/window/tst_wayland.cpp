// The windows as a native Wayland client (run under scripts/with-wayland),
// where the compositor keeps each window with the one that opened it: a help
// window opened beside the main window still outlives it, as everywhere.

#include "WindowFixture.h"

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
        QVERIFY(main);
        QVERIFY(QTest::qWaitForWindowExposed(main, WaitLimit));
        main->findChild<QPushButton *>("cmdRobotValues")->click();
        QPointer<frmRobotValues> help = loadedWindow<frmRobotValues>();
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help, WaitLimit));
        QCOMPARE(help->windowHandle()->transientParent(), main->windowHandle());

        QVERIFY(main->close());
        QTRY_VERIFY_WITH_TIMEOUT(!main, WaitLimit);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->windowHandle()->isExposed());
        QVERIFY(help->close());
    }
};

QTEST_MAIN(TestWayland)
#include "tst_wayland.moc"
