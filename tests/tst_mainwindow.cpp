// The main window at work: the tick rule, the Form menu and the keyboard.

#include "MainWindowFixture.h"

#include "ProcessTags.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QMenu>

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void tickRuleFollowsTyping();
    void tickRuleOnPasteAndCut();
    void refreshFieldsShareOneBox();
    void robotTickFromListAndTyping();
    void handUntickHoldsUntilTheFieldChanges();
    void defaultItemsAppliedAtStart();

    void fillInExamples();
    void clearAllEmptiesEverything();
    void resetToDefaults();
    void formCommandsLeaveThePositionAlone();

    void enterPressesGenerate_data();
    void enterPressesGenerate();
    void enterOnValuesPressesValues();
    void ctrlEnterStartsANewLine();
    void accessKeys();
    void ctrlShortcutsFromATextField();
    void disabledWindowTakesNoInput();

    void buildTagsReadsTheWindow();

private:
    MainWindowFixture f;
};

void TestMainWindow::cleanup()
{
    f.discard();
}

void TestMainWindow::tickRuleFollowsTyping()
{
    f.useNewConfig();
    QVERIFY(f.open());
    const char *fields[][2] = {{"txtTitle", "chkTitle"},       {"txtKeywords", "chkKeywords"},
                               {"txtCopyright", "chkCopyright"}, {"txtRevisitAfter", "chkRevisitAfter"},
                               {"txtCreator", "chkCreator"},   {"txtEmail", "chkEmail"},
                               {"txtPublisher", "chkPublisher"}, {"txtContributors", "chkContributors"}};
    for (const auto &[field, box] : fields) {
        f.focus(f.line(field));
        QTest::keyClick(f.line(field), Qt::Key_Space);
        QVERIFY2(f.box(box)->isChecked(), field);
        QTest::keyClick(f.line(field), Qt::Key_Backspace);
        QVERIFY2(!f.box(box)->isChecked(), field);
    }
    auto *description = f.get<QPlainTextEdit>("txtDescription");
    f.focus(description);
    QTest::keyClicks(description, "x");
    QVERIFY(f.box("chkDescription")->isChecked());
    QTest::keyClick(description, Qt::Key_Backspace);
    QVERIFY(!f.box("chkDescription")->isChecked());
    // The three items without a field of their own never follow a field.
    QVERIFY(!f.box("chkDCTitle")->isChecked());
    QVERIFY(!f.box("chkDCDescription")->isChecked());
}

void TestMainWindow::tickRuleOnPasteAndCut()
{
    f.useNewConfig();
    QVERIFY(f.open());
    QLineEdit *keywords = f.line("txtKeywords");
    f.focus(keywords);
    QGuiApplication::clipboard()->setText("pasted, words");
    QTest::keyClick(keywords, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(keywords->text(), QString("pasted, words"));
    QVERIFY(f.box("chkKeywords")->isChecked());
    QTest::keyClick(keywords, Qt::Key_Home);
    QTest::keyClick(keywords, Qt::Key_End, Qt::ShiftModifier);
    QTest::keyClick(keywords, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(keywords->text(), QString());
    QVERIFY(!f.box("chkKeywords")->isChecked());
}

void TestMainWindow::refreshFieldsShareOneBox()
{
    f.useNewConfig();
    QVERIFY(f.open());
    QLineEdit *url = f.line("txtRefreshURL");
    QLineEdit *seconds = f.line("txtRefreshSeconds");
    QTest::keyClicks(seconds, "12");
    QTest::keyClicks(url, "h");
    QVERIFY(f.box("chkRefresh")->isChecked());
    QTest::keyClick(url, Qt::Key_Backspace);  // seconds still filled
    QVERIFY(!f.box("chkRefresh")->isChecked());

    seconds->clear();
    QTest::keyClicks(url, "h");  // seconds empty
    QVERIFY(f.box("chkRefresh")->isChecked());
}

void TestMainWindow::robotTickFromListAndTyping()
{
    f.useNewConfig();
    QVERIFY(f.open());
    auto *robot = f.get<QComboBox>("cboRobot");
    f.focus(robot);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(robot, Qt::Key_Down);
    QCOMPARE(robot->currentText(), QString("NONE"));
    QVERIFY(f.box("chkRobot")->isChecked());

    robot->lineEdit()->selectAll();
    QTest::keyClick(robot, Qt::Key_Delete);
    QCOMPARE(robot->currentText(), QString());
    QVERIFY(!f.box("chkRobot")->isChecked());

    QTest::keyClicks(robot, "N");
    QCOMPARE(robot->currentText(), QString("N"));  // typed, not completed
    QVERIFY(f.box("chkRobot")->isChecked());
    QTest::keyClick(robot, Qt::Key_Return);
    QCOMPARE(robot->count(), 4);  // Enter adds nothing to the list
}

void TestMainWindow::handUntickHoldsUntilTheFieldChanges()
{
    f.useNewConfig();
    QVERIFY(f.open());
    QTest::keyClicks(f.line("txtKeywords"), "a");
    QTest::mouseClick(f.box("chkKeywords"), Qt::LeftButton);
    QVERIFY(!f.box("chkKeywords")->isChecked());
    QTest::mouseClick(f.box("chkTitle"), Qt::LeftButton);  // ticked with an empty field
    QTest::keyClicks(f.line("txtCreator"), "other field");
    QVERIFY(!f.box("chkKeywords")->isChecked());
    QVERIFY(f.box("chkTitle")->isChecked());
    QTest::keyClicks(f.line("txtKeywords"), "b");
    QVERIFY(f.box("chkKeywords")->isChecked());

    // Choosing the entry already shown runs the rule again too.
    auto *robot = f.get<QComboBox>("cboRobot");
    robot->setCurrentIndex(1);
    f.box("chkRobot")->setChecked(false);
    robot->showPopup();
    QAbstractItemView *list = robot->view();
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(f.box("chkRobot")->isChecked());
}

void TestMainWindow::defaultItemsAppliedAtStart()
{
    f.useNewConfig("[DefaultItems]\nTitle=1\nRobot=1\nIncludeHTML=0\n");
    QVERIFY(f.open());
    QVERIFY(f.box("chkTitle")->isChecked());
    QVERIFY(f.box("chkRobot")->isChecked());  // filling the list does not untick it
    QVERIFY(!f.box("chkIncludeHTML")->isChecked());
    QVERIFY(!f.box("chkEmail")->isChecked());
}

void TestMainWindow::fillInExamples()
{
    for (bool wrapper : {false, true}) {
        f.useNewConfig(wrapper ? "[DefaultItems]\nIncludeHTML=1\n" : "");
        QVERIFY(f.open());
        QTest::keyClicks(f.line("txtTitle"), "typed before");
        f.window->fillInExamples();
        QCOMPARE(f.line("txtTitle")->text(), QString("Page Title"));
        QCOMPARE(f.line("txtRefreshSeconds")->text(), QString("12"));
        QCOMPARE(f.line("txtRevisitAfter")->text(), QString("2 Weeks"));
        QCOMPARE(f.get<QComboBox>("cboRobot")->currentText(), QString("NONE"));
        QCOMPARE(f.get<QPlainTextEdit>("txtDescription")->toPlainText(),
                 QString("A short description of this page.  It should be no more than 200 "
                         "words.  If it is more, some search engines will only include the "
                         "first 200."));
        QVERIFY(QUrl(f.line("txtRefreshURL")->text()).isValid());
        QVERIFY(QUrl(f.line("txtRefreshURL")->text()).path().isEmpty());
        QVERIFY(f.line("txtEmail")->text().contains('@'));
        QVERIFY(!f.line("txtCopyright")->text().isEmpty());
        int ticked = 0;
        for (QCheckBox *box : f.window->findChildren<QCheckBox *>())
            ticked += box->isChecked() && box->objectName() != "chkIncludeHTML";
        QCOMPARE(ticked, 13);
        QCOMPARE(f.box("chkIncludeHTML")->isChecked(), wrapper);
        f.discard();
    }
}

void TestMainWindow::clearAllEmptiesEverything()
{
    f.useNewConfig("[DefaultItems]\nIncludeHTML=1\n");
    QVERIFY(f.open());
    f.window->fillInExamples();
    f.window->findChild<QAction *>("mnuClearAll")->trigger();
    for (QLineEdit *line : f.window->findChildren<QLineEdit *>())
        QCOMPARE(line->text(), QString());
    QCOMPARE(f.get<QPlainTextEdit>("txtDescription")->toPlainText(), QString());
    for (QCheckBox *box : f.window->findChildren<QCheckBox *>())
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
    QCOMPARE(f.get<QComboBox>("cboRobot")->count(), 4);
}

void TestMainWindow::resetToDefaults()
{
    f.useNewConfig("[DefaultItems]\nEmail=1\nDCTitle=1\nTitle=0\n");
    QVERIFY(f.open());
    f.window->fillInExamples();
    f.window->findChild<QAction *>("mnuReset")->trigger();
    QCOMPARE(f.line("txtEmail")->text(), QString());
    QCOMPARE(f.get<QComboBox>("cboRobot")->currentText(), QString());
    QStringList ticked;
    for (QCheckBox *box : f.window->findChildren<QCheckBox *>())
        if (box->isChecked())
            ticked << box->objectName();
    ticked.sort();
    QCOMPARE(ticked, (QStringList{"chkDCTitle", "chkEmail"}));

    // Defaults changed meanwhile are the ones applied.
    QSettings(f.settingsPath(), QSettings::IniFormat).setValue("DefaultItems/Email", "0");
    f.window->findChild<QAction *>("mnuReset")->trigger();
    QVERIFY(!f.box("chkEmail")->isChecked());
    QVERIFY(f.box("chkDCTitle")->isChecked());
}

void TestMainWindow::formCommandsLeaveThePositionAlone()
{
    f.useNewConfig();
    QVERIFY(f.open());
    const QPoint before = f.window->pos();
    for (const char *name : {"mnuFillInExamples", "mnuClearAll", "mnuReset"})
        f.window->findChild<QAction *>(name)->trigger();
    QCOMPARE(f.window->pos(), before);
    QVERIFY(!QFile::exists(f.settingsPath()));
}

void TestMainWindow::enterPressesGenerate_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("text box") << "txtTitle";
    QTest::newRow("multi-line box") << "txtDescription";
    QTest::newRow("check box") << "chkEmail";
    QTest::newRow("combo box") << "cboRobot";
    QTest::newRow("combo box with selected text") << "cboRobot+selected";
}

void TestMainWindow::enterPressesGenerate()
{
    QFETCH(QString, focus);
    f.useNewConfig();
    QVERIFY(f.open());
    QWidget *control = f.get<QWidget>(qPrintable(focus.section('+', 0, 0)));
    f.focus(control);
    if (focus.endsWith("+selected")) {
        f.get<QComboBox>("cboRobot")->setCurrentIndex(0);
        f.get<QComboBox>("cboRobot")->lineEdit()->selectAll();
    }
    QSignalSpy generate(f.get<QPushButton>("cmdGenerateTags"), &QPushButton::clicked);
    f.key(Qt::Key_Return);
    QCOMPARE(generate.count(), 1);
    f.key(Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(generate.count() >= 1);  // the first press may have opened a window meanwhile
    if (auto *plain = qobject_cast<QPlainTextEdit *>(control))
        QCOMPARE(plain->toPlainText(), QString());
}

void TestMainWindow::enterOnValuesPressesValues()
{
    f.useNewConfig();
    QVERIFY(f.open());
    QSignalSpy values(f.get<QPushButton>("cmdRobotValues"), &QPushButton::clicked);
    QSignalSpy generate(f.get<QPushButton>("cmdGenerateTags"), &QPushButton::clicked);
    f.focus(f.get<QPushButton>("cmdRobotValues"));
    f.key(Qt::Key_Return);
    QCOMPARE(values.count(), 1);
    QCOMPARE(generate.count(), 0);
}

void TestMainWindow::ctrlEnterStartsANewLine()
{
    f.useNewConfig();
    QVERIFY(f.open());
    auto *description = f.get<QPlainTextEdit>("txtDescription");
    f.focus(description);
    QSignalSpy generate(f.get<QPushButton>("cmdGenerateTags"), &QPushButton::clicked);
    QTest::keyClicks(description, "one");
    f.key(Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(description, "two");
    QCOMPARE(description->toPlainText(), QString("one\ntwo"));
    QCOMPARE(generate.count(), 0);
    // Tab leaves the box instead of typing a tab.
    f.key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.get<QWidget>("chkCopyright"));
}

void TestMainWindow::accessKeys()
{
    f.useNewConfig();
    QVERIFY(f.open());
    f.focus(f.line("txtTitle"));
    QSignalSpy generate(f.get<QPushButton>("cmdGenerateTags"), &QPushButton::clicked);
    QSignalSpy values(f.get<QPushButton>("cmdRobotValues"), &QPushButton::clicked);
    f.key(Qt::Key_V, Qt::AltModifier);
    QTRY_COMPARE(values.count(), 1);
    f.window->activateWindow();
    f.focus(f.line("txtTitle"));
    f.key(Qt::Key_G, Qt::AltModifier);
    QTRY_COMPARE(generate.count(), 1);
    if (!f.window->isEnabled())
        f.window->enableAfterChild();

    for (auto [menuName, key] : {std::pair{"mnuFile", Qt::Key_F}, {"mnuForm", Qt::Key_O},
                                 {"mnuHelp", Qt::Key_H}}) {
        auto *menu = f.window->findChild<QMenu *>(menuName);
        f.window->activateWindow();
        f.focus(f.line("txtTitle"));
        f.key(key, Qt::AltModifier);
        QTRY_VERIFY2(menu->isVisible(), menuName);
        menu->close();
        QTRY_VERIFY(!menu->isVisible());
    }
}

void TestMainWindow::ctrlShortcutsFromATextField()
{
    f.useNewConfig();
    QVERIFY(f.open());
    for (const char *field : {"txtTitle", "txtDescription"}) {
        for (auto [name, key] : {std::pair{"mnuAbout", Qt::Key_A}, {"mnuPreferences", Qt::Key_P}}) {
            QSignalSpy triggered(f.window->findChild<QAction *>(name), &QAction::triggered);
            if (!f.window->isEnabled())
                f.window->enableAfterChild();
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w != f.window && w->isVisible())
                    w->close();
            f.focus(f.get<QWidget>(field));
            f.key(key, Qt::ControlModifier);
            QVERIFY2(triggered.count() == 1, field);
        }
    }
    if (!f.window->isEnabled())
        f.window->enableAfterChild();
    QSignalSpy exit(f.window->findChild<QAction *>("mnuExit"), &QAction::triggered);
    f.focus(f.line("txtTitle"));
    f.key(Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(exit.count(), 1);
    QTRY_VERIFY(!loadedWindow<frmMain>());
}

void TestMainWindow::disabledWindowTakesNoInput()
{
    f.useNewConfig();
    QVERIFY(f.open());
    QLineEdit *keywords = f.line("txtKeywords");
    f.focus(keywords);
    QTRY_COMPARE(QApplication::focusWidget(), keywords);
    f.window->disableForChild();

    QSignalSpy generate(f.get<QPushButton>("cmdGenerateTags"), &QPushButton::clicked);
    QSignalSpy exit(f.window->findChild<QAction *>("mnuExit"), &QAction::triggered);
    f.key(Qt::Key_Q, Qt::ControlModifier);
    f.key(Qt::Key_G, Qt::AltModifier);
    f.key(Qt::Key_Return);
    QTest::mouseClick(f.get<QPushButton>("cmdGenerateTags"), Qt::LeftButton);
    QTest::keyClicks(keywords, "x");
    QTest::qWait(150);  // an Alt access key would click after about 100 ms
    QCOMPARE(generate.count(), 0);
    QCOMPARE(exit.count(), 0);
    QCOMPARE(keywords->text(), QString());
    QVERIFY(!f.window->close());
    f.window->windowHandle()->close();
    QVERIFY(loadedWindow<frmMain>());
    QVERIFY(f.window->isVisible());

    f.window->enableAfterChild();
    QTRY_COMPARE(QApplication::focusWidget(), keywords);
    f.key(Qt::Key_Return);
    QCOMPARE(generate.count(), 1);
}

void TestMainWindow::buildTagsReadsTheWindow()
{
    f.useNewConfig("[DefaultItems]\nIncludeHTML=1\n");
    QVERIFY(f.open());
    QTest::keyClicks(f.line("txtTitle"), "Page Title");
    QTest::keyClicks(f.line("txtRefreshSeconds"), "12");
    auto *robot = f.get<QComboBox>("cboRobot");
    robot->setCurrentIndex(3);
    QVERIFY(f.box("chkRobot")->isChecked());
    ProcessTags::BuildTags(f.window->form());
    QCOMPARE(ProcessTags::strTags,
             QString("<html>\r\n<head>\r\n<title>Page Title</title>\r\n"
                     "<META HTTP-EQUIV=\"refresh\" CONTENT=\"12\">\r\n"
                     "<META NAME=\"Robot\" CONTENT=\"NONE\">\r\n</head>\r\n</html>\r\n"));
    QCOMPARE(ProcessTags::strErrors, QString());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
