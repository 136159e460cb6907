// Every window opens and closes on a platform that is not X11 (Qt's
// offscreen one here, as on Wayland or in a headless session): the desktop
// hints that only an X server understands must step aside there.

#include "ProgramWiring.h"
#include "frmAbout.h"
#include "frmErrors.h"
#include "frmMain.h"
#include "frmPreferences.h"
#include "frmRobotValues.h"
#include "frmTags.h"

#include <QtTest>

class TestOffscreen : public QObject {
    Q_OBJECT

    QTemporaryDir config_;

    template <class W>
    static void openAndClose()
    {
        QPointer<W> window = showWindow<W>();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window, 20000));
        QVERIFY(window->close());
        QTRY_VERIFY_WITH_TIMEOUT(!window, 20000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        installProgramWiring();
    }

    void eachWindow()
    {
        openAndClose<frmMain>();
        openAndClose<frmTags>();
        openAndClose<frmErrors>();
        openAndClose<frmPreferences>();
        openAndClose<frmRobotValues>();
        openAndClose<frmAbout>();
    }

    // The way a user gets there: Ctrl+A on the main window opens the About box.
    void aboutByItsShortcut()
    {
        QPointer<frmMain> main = showWindow<frmMain>();
        QVERIFY(main);
        QVERIFY(QTest::qWaitForWindowExposed(main, 20000));
        main->activateWindow();
        QTest::keyClick(main->windowHandle(), Qt::Key_A, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(loadedWindow<frmAbout>(), 20000);
        QVERIFY(loadedWindow<frmAbout>()->close());
        QTRY_VERIFY_WITH_TIMEOUT(main->isEnabled(), 20000);
        QVERIFY(main->close());
    }
};

QTEST_MAIN(TestOffscreen)
#include "tst_offscreen.moc"
