// The main window's position between runs, on a real X server: the offscreen
// platform does not keep negative window positions exactly.

#include "MainWindowFixture.h"

class TestPosition : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { f.discard(); }

    void positionRestoredAndSaved_data();
    void positionRestoredAndSaved();
    void firstCloseCreatesTheRecord();

private:
    MainWindowFixture f;
};

void TestPosition::positionRestoredAndSaved_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QPoint>("opensAt");
    QTest::addColumn<QPoint>("movedTo");
    QTest::addColumn<QString>("storedLeft");
    QTest::addColumn<QString>("storedTop");
    QTest::newRow("stored") << QByteArray("[StartupPosition]\nLeft=1500\nTop=750\n")
                            << QPoint(100, 50) << QPoint(200, 30) << "3000" << "450";
    QTest::newRow("negative") << QByteArray("[StartupPosition]\nLeft=-300\nTop=-150\n")
                              << QPoint(-20, -10) << QPoint(-40, -7) << "-600" << "-105";
    QTest::newRow("no record") << QByteArray() << QPoint(0, 0) << QPoint(15, 1) << "225" << "15";
    QTest::newRow("not numbers") << QByteArray("[StartupPosition]\nLeft=abc\nTop=\"\"\n")
                                 << QPoint(0, 0) << QPoint(3, 4) << "45" << "60";
    QTest::newRow("beyond any screen")
        << QByteArray("[StartupPosition]\nLeft=1e30\nTop=-99999999999\n") << QPoint(0, 0)
        << QPoint(1, 1) << "15" << "15";
    QTest::newRow("fraction") << QByteArray("[StartupPosition]\nLeft=29.9\nTop=45\n")
                              << QPoint(2, 3) << QPoint(2, 3) << "30" << "45";
}

void TestPosition::positionRestoredAndSaved()
{
    QFETCH(QByteArray, settings);
    QFETCH(QPoint, opensAt);
    QFETCH(QPoint, movedTo);
    QFETCH(QString, storedLeft);
    QFETCH(QString, storedTop);
    f.useNewConfig(settings);
    QVERIFY(f.open());
    QCOMPARE(f.window->pos(), opensAt);
    f.window->move(movedTo);
    QVERIFY(f.window->close());
    QCOMPARE(f.stored("StartupPosition/Left"), storedLeft);
    QCOMPARE(f.stored("StartupPosition/Top"), storedTop);

    QVERIFY(f.open());
    QCOMPARE(f.window->pos(), movedTo);
}

void TestPosition::firstCloseCreatesTheRecord()
{
    f.useNewConfig();
    QVERIFY(f.open());
    QVERIFY(!QFile::exists(f.settingsPath()));
    f.window->findChild<QAction *>("mnuExit")->trigger();
    QTRY_VERIFY(!loadedWindow<frmMain>());
    QCOMPARE(f.stored("StartupPosition/Left"), QString("0"));
    QCOMPARE(f.stored("StartupPosition/Top"), QString("0"));
    // Nothing but the position is written on the way out.
    QCOMPARE(QSettings(f.settingsPath(), QSettings::IniFormat).allKeys().size(), 2);
}

QTEST_MAIN(TestPosition)
#include "tst_position.moc"
