// The Robot Values window: a help window beside the main window.

#include "DialogFixture.h"

#include "frmRobotValues.h"

class TestRobotValues : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void valueLabelsEndTogether();
    void oneInstanceOnTwoPresses();
    void mainWindowUsableBeside();
    void keys_data();
    void keys();
    // Runs the application's own event loop: keep it last.
    void runEndsWithTheLastWindow();

private:
    frmRobotValues *openRobotValues() const;

    DialogFixture f;
};

frmRobotValues *TestRobotValues::openRobotValues() const
{
    QTest::mouseClick(f.get<QPushButton>("cmdRobotValues"), Qt::LeftButton);
    return DialogFixture::activeWindow<frmRobotValues>();
}

void TestRobotValues::cleanup()
{
    QVERIFY(f.messages.isEmpty());
    f.finish();
}

void TestRobotValues::valueLabelsEndTogether()
{
    QVERIFY(f.start());
    frmRobotValues *robot = openRobotValues();
    QVERIFY(robot);
    for (const char *name : {"lblAll", "lblNoIndex", "lblNoFollow", "lblNone"}) {
        const auto *label = robot->control<QLabel>(name);
        QVERIFY2(label, name);
        QCOMPARE(label->geometry().x() + label->width(), Twips::toPixels(1245));
        QCOMPARE(label->width(), label->sizeHint().width());
        QVERIFY(label->font().bold());
    }
    // Only OK can take the focus, and it has it.
    int focusable = 0;
    for (const QWidget *w : robot->findChildren<QWidget *>())
        focusable += w->focusPolicy() != Qt::NoFocus;
    QCOMPARE(focusable, 1);
    QCOMPARE(QApplication::focusWidget(), robot->control<QWidget>("cmdOK"));
}

void TestRobotValues::oneInstanceOnTwoPresses()
{
    QVERIFY(f.start());
    frmRobotValues *first = openRobotValues();
    QVERIFY(first);
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window));

    frmRobotValues *second = openRobotValues();
    QCOMPARE(second, first);
    int open = 0;
    for (const QWidget *top : QApplication::topLevelWidgets())
        open += qobject_cast<const frmRobotValues *>(top) && top->isVisible();
    QCOMPARE(open, 1);
    QVERIFY(f.window->isEnabled());
}

void TestRobotValues::mainWindowUsableBeside()
{
    QVERIFY(f.start("[DefaultItems]\nTitle=1\n"));
    f.box("chkTitle")->setChecked(false);
    frmRobotValues *robot = openRobotValues();
    QVERIFY(robot);
    QVERIFY(f.window->isEnabled());

    QLineEdit *keywords = f.line("txtKeywords");
    f.focus(keywords);
    QTRY_COMPARE(QApplication::focusWidget(), keywords);
    QTest::keyClicks(keywords, "fern");
    QCOMPARE(keywords->text(), QString("fern"));
    QVERIFY(f.box("chkKeywords")->isChecked());
    QCOMPARE(loadedWindow<frmRobotValues>(), robot);

    // Closing it leaves the main window as it was: no defaults are reloaded.
    QTest::mouseClick(robot->control<QWidget>("cmdOK"), Qt::LeftButton);
    QVERIFY(!loadedWindow<frmRobotValues>());
    QVERIFY(!f.box("chkTitle")->isChecked());
    QVERIFY(f.box("chkKeywords")->isChecked());
    QVERIFY(f.window->isEnabled());
}

void TestRobotValues::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
    QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << true;
    QTest::newRow("Alt+O") << int(Qt::Key_O) << int(Qt::AltModifier) << true;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier) << false;
}

void TestRobotValues::keys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, closes);
    QVERIFY(f.start());
    frmRobotValues *robot = openRobotValues();
    QVERIFY(robot);
    QCOMPARE(QApplication::focusWidget(), robot->control<QWidget>("cmdOK"));

    QSignalSpy pressed(robot->control<QPushButton>("cmdOK"), &QPushButton::pressed);
    DialogFixture::keyTo(robot, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (closes) {
        QTRY_VERIFY(!loadedWindow<frmRobotValues>());
    } else {
        QCOMPARE(pressed.count(), 0);
        QCOMPARE(loadedWindow<frmRobotValues>(), robot);
        QVERIFY(robot->isVisible());
    }
    QVERIFY(f.window->isVisible());
}

void TestRobotValues::runEndsWithTheLastWindow()
{
    QVERIFY(f.start());
    QVERIFY(QApplication::quitOnLastWindowClosed());
    f.window->move(150, 90);
    QPointer<frmMain> main = f.window;
    QPointer<frmRobotValues> robot = openRobotValues();
    QVERIFY(robot);

    QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
    // The steps run inside the loop. The context object drops whatever is
    // left of them when the test ends; its watchdog only ends a run that
    // would otherwise never end.
    QObject context;
    QTimer::singleShot(30000, &context, [] { QCoreApplication::exit(3); });
    QPoint mainPosition;
    qsizetype lastClosedWithMain = -1;
    bool robotOpenAfterMain = false;
    QMetaObject::invokeMethod(&context, [&] {
        mainPosition = main->frameGeometry().topLeft();
        main->close();
        lastClosedWithMain = lastWindowClosed.count();
        QMetaObject::invokeMethod(&context, [&] {
            robotOpenAfterMain = robot && robot->isVisible();
            if (robot)
                robot->control<QPushButton>("cmdOK")->click();
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    const int result = QApplication::exec();

    QCOMPARE(lastClosedWithMain, 0);
    QVERIFY(robotOpenAfterMain);
    QCOMPARE(result, 0);
    QCOMPARE(lastWindowClosed.count(), 1);
    QVERIFY(!loadedWindow<frmRobotValues>());
    QVERIFY(!loadedWindow<frmMain>());
    const auto twips = [](int pixels) { return QString::number(Twips::fromPixels(pixels)); };
    QCOMPARE(f.stored("StartupPosition/Left"), twips(mainPosition.x()));
    QCOMPARE(f.stored("StartupPosition/Top"), twips(mainPosition.y()));
    QVERIFY(mainPosition != QPoint(0, 0));
}

QTEST_MAIN(TestRobotValues)
#include "tst_robotvalues.moc"
