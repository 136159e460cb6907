// Every window opens and closes on a platform that is not X11 (Qt's
// offscreen one here, as on Wayland or in a headless session): the desktop
// hints that only an X server understands must step aside there.

#include "WindowFixture.h"

#include <QCommonStyle>

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

    // A menu bar's overflow button, whose icon is read only once drawn, draws
    // the one Qt's styles draw.
    void overflowIcon()
    {
        const auto icon = [](const QStyle *style) {
            return style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16).toImage();
        };
        const QCommonStyle qtStyle;
        QVERIFY(!icon(QApplication::style()).isNull());
        QCOMPARE(icon(QApplication::style()), icon(&qtStyle));
    }
};

QTEST_MAIN(TestOffscreen)
#include "tst_offscreen.moc"
