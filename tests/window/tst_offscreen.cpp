// Every window opens and closes on a platform that is not X11 (Qt's
// offscreen one here, as on Wayland or in a headless session): the desktop
// hints that only an X server understands must step aside there.

#include "WindowFixture.h"

class TestOffscreen : public QObject {
    Q_OBJECT

    QTemporaryDir config_;

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        installProgramWiring();
    }

    void eachWindow_data() { windowRows(); }

    void eachWindow()
    {
        QFETCH(int, window);
        QPointer<FormWindow> w = Windows[window].show();
        QVERIFY(w);
        QVERIFY(QTest::qWaitForWindowExposed(w, WaitLimit));
        QVERIFY(w->close());
        QTRY_VERIFY_WITH_TIMEOUT(!w, WaitLimit);
    }
};

QTEST_MAIN(TestOffscreen)
#include "tst_offscreen.moc"
