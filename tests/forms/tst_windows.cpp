// The windows at work, on a real X server under Xvfb with a window manager
// (the offscreen platform has no clipboard that another program can read):
// the main window, generating, the tags window's copy and save, how each
// window closes and what it gives back, the captions, Preferences, About,
// and the end of the run. Where the main window opens: tst_desktop.

#include "WindowFixture.h"

#include "Version.h"

using namespace ProcessTags;

namespace {

// Each field of the main window, top row first, with the check box that
// starts its row.
QList<std::pair<QWidget *, QCheckBox *>> fieldsAndBoxes(const QWidget *window)
{
    QList<std::pair<QWidget *, QCheckBox *>> pairs;
    const auto boxes = window->findChildren<QCheckBox *>();
    for (QWidget *field : window->findChildren<QWidget *>(QRegularExpression("^(txt|cbo)")))
        for (QCheckBox *box : boxes)
            if (box->y() == field->y())
                pairs.append({field, box});
    return pairs;
}

const char *const SaveFailed =
    " [NoIcon] The file could not be saved. This may be due to one of the following:\r\n"
    "- The file could be in use by another application\r\n"
    "- The file may be set as read-only\r\n"
    "- There may be insufficient disk space to save the file";

// What another program pastes from the clipboard. This program answers from
// its event loop, so the wait keeps the loop running.
QByteArray pasted()
{
    QProcess xclip;
    xclip.start("xclip", {"-o", "-selection", "clipboard"});
    const bool done =
        QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, WaitLimit);
    return done ? xclip.readAllStandardOutput() : "(no answer)";
}

}  // namespace

class TestWindows : public QObject {
    Q_OBJECT

    WindowFixture f;

private slots:
    void init() { QVERIFY(f.start()); }
    void cleanup() { f.finish(); }

    // A fixed size; Tab from the first box row by row, left to right, and
    // round; the menus and their items, as plain commands.
    void asFirstSeen()
    {
        QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
        const QStringList walk = QString("chkTitle txtTitle chkKeywords txtKeywords chkDescription "
                                         "txtDescription chkCopyright txtCopyright chkRevisitAfter "
                                         "txtRevisitAfter chkCreator txtCreator chkEmail txtEmail "
                                         "chkRefresh txtRefreshURL txtRefreshSeconds chkRobot "
                                         "cboRobot cmdRobotValues chkPublisher txtPublisher "
                                         "chkContributors txtContributors chkDCTitle "
                                         "chkDCDescription cmdGenerateTags chkIncludeHTML chkTitle")
                                     .split(' ');
        const auto focused = [] {
            const QWidget *w = QApplication::focusWidget();
            return w ? w->objectName() : QString("(none)");
        };
        for (const QString &next : walk) {
            QTRY_COMPARE_WITH_TIMEOUT(focused(), next, WaitLimit);
            f.act("Tab");
        }
        QStringList menus;
        for (const QAction *menu : f.window->findChild<QMenuBar *>()->actions()) {
            QStringList items;
            for (const QAction *item : menu->menu()->actions())
                items << QStringList{item->text(), item->shortcut().toString(),
                                     item->isCheckable() ? "checkable" : "",
                                     item->isEnabled() ? "" : "disabled"}
                             .join(' ')
                             .trimmed();
            menus << menu->text() + ": " + items.join(", ");
        }
        QCOMPARE(menus, QStringList({"&File: &Preferences Ctrl+P, E&xit Ctrl+Q",
                                     "F&orm: Fill in Examples, Reset to Specified Defaults, Clear All",
                                     "&Help: &About Ctrl+A"}));
    }

    // Each field is announced by the caption of the box that starts its row,
    // and ticks that box when its text is not empty and unticks it when it
    // is, however the text changes: typed, cut, pasted, shared, chosen from
    // the robot list. A box set by hand stays so until its field changes.
    void fieldsAndTheirBoxes()
    {
        const auto pairs = fieldsAndBoxes(f.window);
        QCOMPARE(pairs.size(), 12);
        for (const auto &[field, box] : pairs) {
            const QByteArray name = field->objectName().toLatin1();
            QVERIFY2(field->accessibleName().startsWith(box->text()), name);
            QTest::keyClick(field, Qt::Key_X);
            QVERIFY2(box->isChecked(), name);
            QTest::keyClick(field, Qt::Key_Home, Qt::ShiftModifier);
            QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
            QVERIFY2(!box->isChecked(), name);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            QVERIFY2(box->isChecked(), name);
            QTest::keyClick(field, Qt::Key_Backspace);
        }
        // The two Refresh fields share one box: the latest change decides.
        f.act("txtRefreshSeconds=12;txtRefreshURL=x");
        QTest::keyClick(f.get("txtRefreshURL"), Qt::Key_Backspace);
        QVERIFY(!f.box("chkRefresh")->isChecked());
        // Chosen from the list; then, unticked by hand, the entry shown chosen again.
        auto *robot = f.get<ComboTextBox>("cboRobot");
        QTest::keyClick(robot, Qt::Key_Down);
        QVERIFY(robot->text() == "ALL" && f.box("chkRobot")->isChecked());
        f.act("chkRobot");
        robot->showPopup();
        QTest::keyClick(robot->view(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(f.box("chkRobot")->isChecked(), WaitLimit);
        f.act("txtTitle=a;chkTitle;txtCreator=b");
        QVERIFY(!f.box("chkTitle")->isChecked());
        f.act("txtTitle=c");
        QVERIFY(f.box("chkTitle")->isChecked());
        // A blank is a value; and what is typed stays as typed, not completed from the list.
        f.act("txtDescription= ");
        QVERIFY(f.box("chkDescription")->isChecked());
        robot->setText(QString());
        QVERIFY(f.focus(robot));
        f.act("cboRobot=NO;Tab");
        QCOMPARE(f.window->controls().text("cboRobot"), "NO");
    }

    // Every field keeps the whole of a long text pasted into it, and so do the tags.
    void longTexts()
    {
        const QString text(40000, 'k');
        QGuiApplication::clipboard()->setText(text);
        for (const auto &[field, box] : fieldsAndBoxes(f.window)) {
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            QVERIFY2(f.window->controls().text(field->objectName()) == text,
                     qPrintable(field->objectName()));
        }
        f.act("cmdGenerateTags");
        QVERIFY(strTags.contains("<META NAME=\"keywords\" CONTENT=\"" + text + "\">"));
        QVERIFY(strTags.contains("<META NAME=\"Robot\" CONTENT=\"" + text + "\">"));
    }

    void greyedBoxes_data()
    {
        QTest::addColumn<QString>("steps");  // in Preferences while it is open, else the main window
        QTest::addColumn<QString>("values");  // chkTitle's, after each step
        // clang-format off
        QTest::newRow("clicks") << "chkTitle;chkTitle;chkTitle" << "101";
        QTest::newRow("after the tick rule") << "txtTitle=a;chkTitle;chkTitle" << "101";
        QTest::newRow("after Clear All") << "mnuClearAll;chkTitle;chkTitle" << "010";
        QTest::newRow("after Reset") << "mnuReset;chkTitle;chkTitle;chkTitle" << "2101";
        QTest::newRow("Preferences, OK") << "Ctrl+P;chkTitle;chkTitle;chkTitle;cmdOK" << "21011";
        QTest::newRow("Select None") << "Ctrl+P;cmdSelectNone;chkTitle;chkTitle" << "2010";
        // clang-format on
    }

    // A box greyed by a stored 2, in either window: a click ticks it, and
    // from then on, or once anything else has set it, clicks only tick and
    // untick it. Only the store greys a box again.
    void greyedBoxes()
    {
        QFETCH(QString, steps);
        QFETCH(QString, values);
        f.finish();
        QVERIFY(f.start("[DefaultItems]\nTitle=2"));
        const auto front = [this]() -> QWidget * {
            if (frmPreferences *preferences = loadedWindow<frmPreferences>())
                return preferences;
            return f.window;
        };
        QString seen;
        for (const QString &step : steps.split(';')) {
            if (auto *item = front()->findChild<QAction *>(step))
                item->trigger();
            else
                f.act(step, front());
            seen += QString::number(WindowControls(front()).checkValue("chkTitle"));
        }
        QCOMPARE(seen, values);
    }

    // The stored defaults at the start and after Reset, as stored by then;
    // Fill in Examples ticks all but Include HTML; Clear All empties and
    // unticks all, and leaves the robot list as at the start. None moves the window or stores
    // where it is.
    void formMenu()
    {
        f.finish();
        QVERIFY(f.start("[DefaultItems]\nEmail=1\nRobot=1\nIncludeHTML=0"));
        QCOMPARE(f.ticks(f.window), "00100000100000");
        f.window->findChild<QAction *>("mnuFillInExamples")->trigger();
        auto *robot = f.get<ComboTextBox>("cboRobot");
        for (const char *entry : {"ALL", "NOINDEX", "NOFOLLOW", "NONE"}) {
            QTest::keyClick(robot, Qt::Key_Down);
            QCOMPARE(robot->text(), entry);
        }
        f.window->findChild<QAction *>("mnuClearAll")->trigger();
        QCOMPARE(f.ticks(f.window), "00000000000000");
        for (const auto &[field, box] : fieldsAndBoxes(f.window))
            QCOMPARE(f.window->controls().text(field->objectName()), QString());
        // The list as at the start: all four entries, none chosen.
        QCOMPARE(robot->count(), 4);
        QTest::keyClick(robot, Qt::Key_Down);
        QCOMPARE(robot->text(), "ALL");
        QSettings(f.ini(), QSettings::IniFormat).setValue("DefaultItems/Email", "0");
        f.window->findChild<QAction *>("mnuFillInExamples")->trigger();
        QCOMPARE(f.ticks(f.window), "01111111111111");
        f.window->findChild<QAction *>("mnuReset")->trigger();
        // The defaults as stored now, and the title empty again.
        QCOMPARE(f.ticks(f.window) + f.window->controls().text("txtTitle"), "00000000100000");
        QCOMPARE(f.window->pos(), QPoint(0, 0));  // where it opened, with no record
        QCOMPARE(f.stored("StartupPosition/Left"), QString());
    }

    void undoAfterMenu_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");  // the description's, put there by the item
        QTest::newRow("Clear All") << "mnuClearAll" << "";
        QTest::newRow("Reset") << "mnuReset" << "";
        QTest::newRow("Fill in Examples")
            << "mnuFillInExamples"
            << "A short description of this page.  It should be no more than 200 words.  "
               "If it is more, some search engines will only include the first 200.";
    }

    // Ctrl+Z in the description after a Form menu item keeps the text the
    // item put there: the edits typed before it are not replayed on it.
    void undoAfterMenu()
    {
        QFETCH(QString, item);
        QFETCH(QString, text);
        QVERIFY(f.focus(f.get("txtDescription")));
        f.act("txtDescription=typed;Ctrl+Return;txtDescription=more");
        auto *action = f.window->findChild<QAction *>(item);
        QVERIFY(action);
        action->trigger();
        f.act("Ctrl+Z;Ctrl+Z");
        QCOMPARE(f.window->controls().text("txtDescription"), text);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("front");  // the window or menu in front afterwards
        // clang-format off
        QTest::newRow("keypad Enter in a text box") << "txtKeywords" << "Num+Enter" << "frmTags";
        QTest::newRow("Enter in the description") << "txtDescription" << "Return" << "frmTags";
        QTest::newRow("Enter on a check box") << "chkEmail" << "Return" << "frmTags";
        QTest::newRow("Enter, combo text selected") << "cboRobot" << "Return" << "frmTags";
        QTest::newRow("Enter on Values?") << "cmdRobotValues" << "Return" << "frmRobotValues";
        QTest::newRow("Ctrl+Enter: a new line") << "txtDescription" << "Ctrl+Return" << "frmMain";
        QTest::newRow("Alt+G") << "txtTitle" << "Alt+G" << "frmTags";
        QTest::newRow("Alt+F") << "txtTitle" << "Alt+F" << "mnuFile";
        QTest::newRow("Alt+O") << "txtTitle" << "Alt+O" << "mnuForm";
        QTest::newRow("Alt+H") << "txtTitle" << "Alt+H" << "mnuHelp";
        QTest::newRow("Ctrl+Q in the combo box") << "cboRobot" << "Ctrl+Q" << "";
        // clang-format on
    }

    // Enter presses the focused button, else Generate; Ctrl+Enter starts a
    // new line in the description; access keys and menu shortcuts work from
    // any control. (More keys open the windows in `closing`.)
    void keys()
    {
        QFETCH(QString, focus);
        QFETCH(QString, keys);
        QFETCH(QString, front);
        // For the combo box: a text chosen from its list, all selected.
        f.get<ComboTextBox>("cboRobot")->setCurrentIndex(0);
        f.get<ComboTextBox>("cboRobot")->textBox()->selectAll();
        QVERIFY(f.focus(f.get(qPrintable(focus))));
        f.act(keys);
        const auto inFront = [] {
            QWidget *w = QApplication::activePopupWidget();
            w = w ? w : QApplication::activeWindow();
            return w ? w->objectName() : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(inFront(), front, WaitLimit);
        if (focus == "txtDescription")
            QCOMPARE(f.window->controls().text(focus), front == "frmMain" ? "\n" : "");
    }

    void generating_data()
    {
        QTest::addColumn<QString>("input");  // fields typed into ("name=text") and boxes clicked
        QTest::addColumn<QString>("edit");  // keys typed at the end of the tags
        QTest::addColumn<QString>("save");  // the file chosen in a folder; empty: a cancel
        QTest::addColumn<QString>("text");  // copied and saved, lines ending CRLF; or "refused",
                                            // the texts kept; or "fails", the save
        const QString blank = "<META HTTP-EQUIV=\"refresh\" CONTENT=\" \">\n";
        // clang-format off
        QTest::newRow("seconds missing") << "txtRefreshURL=next.htm" << "" << "" << "refused";
        QTest::newRow("seconds blank")
            << "txtTitle=Caf\u00e9\u00a0;txtDescription=a\u00a0b;txtRefreshSeconds= " << ""
            << "tags.htm" << "<title>Caf\u00e9\u00a0</title>\n" + blank +
               "<META NAME=\"description\" CONTENT=\"a\u00a0b\">\n";
        QTest::newRow("seconds letters, edited")
            << "txtRefreshURL=next.htm;txtRefreshSeconds=abc" << "x;Ctrl+Return;y;Shift+Return;z"
            << "tags.htm" << "<META HTTP-EQUIV=\"refresh\" CONTENT=\"abc; URL=next.htm\">\nx\ny\nz";
        QTest::newRow("blank description") << "txtDescription= " << "" << "tags.htm"
                                           << "<META NAME=\"description\" CONTENT=\" \">\n";
        QTest::newRow("unticked, cancelled") << "txtRefreshURL=x;chkRefresh" << "" << "" << "";
        QTest::newRow("nothing ticked") << "" << "" << "tags.htm" << "";
        QTest::newRow("worked example")
            << "txtTitle=Page Title;txtRefreshSeconds=12;cboRobot=NONE;chkIncludeHTML" << ""
            << "tags.htm" << "<html>\n<head>\n<title>Page Title</title>\n"
               "<META HTTP-EQUIV=\"refresh\" CONTENT=\"12\">\n"
               "<META NAME=\"Robot\" CONTENT=\"NONE\">\n</head>\n</html>\n";
        QTest::newRow("folder missing") << "txtTitle=Page" << "" << "missing/tags.htm" << "fails";
        // clang-format on
    }

    // From what is typed to what Generate shows and Copy and Save give:
    // exactly the text shown, with CRLF line ends, nothing added, over an
    // older, longer file. A ticked Refresh without seconds is refused with a
    // warning, the focus going to the seconds. A failed save says so and
    // leaves the folder as it was; a cancel says nothing.
    void generating()
    {
        QFETCH(QString, input);
        QFETCH(QString, edit);
        QFETCH(QString, save);
        QFETCH(QString, text);
        f.act(input);
        strTags = strErrors = "earlier";
        f.act("cmdGenerateTags");
        if (text == "refused") {
            QVERIFY(strTags + strErrors == "earlierearlier" && !loadedWindow<frmTags>());
            QCOMPARE(f.messages.join(""),
                     "Processing Error [Warning] A refresh seconds value is required");
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), f.get("txtRefreshSeconds"),
                                      WaitLimit);
            return;
        }
        frmTags *tags = f.opened<frmTags>();
        QVERIFY(tags);
        f.act("Ctrl+End;" + edit, tags);
        const bool fails = text == "fails";
        const QByteArray bytes = QString(text).replace("\n", "\r\n").toUtf8();
        f.act("cmdCopyToClipboard", tags);
        if (!fails)
            QCOMPARE(pasted(), bytes);
        QTemporaryDir files;
        const QDir folder(files.path());
        QVERIFY(WindowFixture::writeFile(folder.filePath("tags.htm"), QByteArray(500, '.')));
        f.saveAnswer = save.isEmpty() ? save : folder.filePath(save);
        f.act("cmdSave", tags);
        QCOMPARE(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"tags.htm"});
        QFile saved(folder.filePath("tags.htm"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), fails || save.isEmpty() ? QByteArray(500, '.') : bytes);
        QCOMPARE(f.messages.join(""), fails ? SaveFailed : "");
        QCOMPARE(f.saves, 1);
        QVERIFY(tags->isVisible() && tags->isEnabled());
    }

    // The real save dialog, as the user meets it: its title, the two types
    // in order with the HTML one chosen, each showing its own files only,
    // and a name typed without an extension saved with ".txt".
    void saveDialog()
    {
        QTemporaryDir files;
        for (const char *name : {"a.htm", "b.html", "c.txt", "d.doc"})
            QVERIFY(WindowFixture::writeFile(files.filePath(name), "old"));
        Prompts::Hooks hooks;
        hooks.message = [this](const Prompts::Message &m) { f.messages << m.text; };
        Prompts::setHooks(hooks);
        f.act("txtTitle=Page;cmdGenerateTags");
        frmTags *tags = f.opened<frmTags>();
        QVERIFY(tags);
        QStringList seen;  // title, types, chosen type, then the files shown for each type
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            QFileDialog *dialog = nullptr;
            for (QWidget *top : QApplication::topLevelWidgets())
                if (top->isVisible() && qobject_cast<QFileDialog *>(top))
                    dialog = static_cast<QFileDialog *>(top);
            if (!dialog)
                return;
            poll.stop();
            auto *types = dialog->findChild<QComboBox *>("fileTypeCombo");
            auto *view = dialog->findChild<QListView *>("listView");
            auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
            if (!types || !view || !name)
                return dialog->reject();
            QStringList typeTexts;
            for (int i = 0; i < types->count(); ++i)
                typeTexts << types->itemText(i);
            seen << dialog->windowTitle() << typeTexts.join(", ") << types->currentText();
            dialog->setDirectory(files.path());
            const auto shown = [view] {
                QStringList names;
                for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                    names << view->model()->index(row, 0, view->rootIndex()).data().toString();
                names.sort();
                return names.join(' ');
            };
            for (const QString expected : {"a.htm b.html", "c.txt"}) {
                const bool listed = QTest::qWaitFor([&] { return shown() == expected; }, WaitLimit);
                seen << (listed ? expected : shown());
                QTest::keyClick(types, Qt::Key_Down);
            }
            QTest::keyClick(types, Qt::Key_Up);
            name->setText("new");
            QTest::keyClick(name, Qt::Key_Return);
        });
        poll.start(20);
        f.act("cmdSave", tags);
        QCOMPARE(seen, QStringList({"Save As", "HTML File (*.htm, *.html), Text File (*.txt)",
                                    "HTML File (*.htm, *.html)", "a.htm b.html", "c.txt"}));
        QFile saved(files.filePath("new.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), "<title>Page</title>\r\n");
        QCOMPARE(f.messages, QStringList());
    }

    void closing_data()
    {
        QTest::addColumn<QString>("opener");  // keys, each to the window in front, from the title
        QTest::addColumn<QString>("how");  // a button, keys, or "close" from the window manager
        QTest::addColumn<bool>("closes");
        // Each window, the keys that open it, what closes it and what leaves it open.
        // clang-format off
        const char *const windows[][4] = {
            {"Tags", "Return", "cmdClose Return close", "Esc"},
            {"Errors", "Return Alt+E", "cmdClose Return Esc close", "X"},
            {"Preferences", "Ctrl+P", "close", "Esc"},
            {"About", "Ctrl+A", "cmdOK Return close", "Esc Alt+O"},
            {"Robot Values", "Alt+V", "Return Space Alt+O", "Esc"}};
        // clang-format on
        for (const auto &[window, opener, closing, staying] : windows)
            for (const bool closes : {true, false})
                for (const QString &how : QString(closes ? closing : staying).split(' '))
                    QTest::addRow("%s, %s", window, qPrintable(how))
                        << QString(opener) << how << closes;
    }

    // A window that opens another takes no input and refuses to close until the other closes, then has its
    // focus back; Esc on the tags window asks where to save instead, and a new
    // generation opens it afresh with the new text. Robot Values disables
    // nothing.
    void closing()
    {
        QFETCH(QString, opener);
        QFETCH(QString, how);
        QFETCH(bool, closes);
        f.act("chkKeywords;txtTitle");  // an item ticked and empty, to list; then into the title
        QPointer<QWidget> below;
        QWidget *focusBelow = nullptr;
        for (const QString &keys : opener.split(' ')) {
            below = QApplication::activeWindow();
            focusBelow = QApplication::focusWidget();
            QVERIFY(below);
            f.act(keys, below);
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() &&
                                         QApplication::activeWindow() != below, WaitLimit);
        }
        QPointer<QWidget> top = QApplication::activeWindow();
        QVERIFY(top);
        if (opener.endsWith("Alt+E"))
            QCOMPARE(WindowControls(top).text("txtErrors"), QString(strErrors).replace("\r\n", "\n"));
        const bool beside = opener == "Alt+V";
        QCOMPARE(below->isEnabled(), beside);
        if (!beside) {
            QVERIFY(f.focus(below));
            const QStringList shown = f.shown();
            f.act("Return;Esc;Alt+G;Ctrl+Q;X;close", below);
            QTRY_VERIFY_WITH_TIMEOUT(!below || f.buttonsUp(below), WaitLimit);
            QVERIFY(below && below->isActiveWindow() && f.shown() == shown && f.saves == 0);
            QVERIFY(f.focus(top));
        }
        f.act(how, top);
        QTRY_VERIFY_WITH_TIMEOUT(!top || f.buttonsUp(top), WaitLimit);
        QTRY_COMPARE_WITH_TIMEOUT(top && top->isVisible(), !closes, WaitLimit);
        QCOMPARE(f.saves, int(opener == "Return" && how == "Esc"));
        QCOMPARE(below->isEnabled(), beside || closes);
        if (!beside && closes)
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), focusBelow, WaitLimit);
        if (opener == "Return" && closes) {
            f.act("txtTitle=Second;cmdGenerateTags");
            frmTags *tags = f.opened<frmTags>();
            QVERIFY(tags);
            QCOMPARE(WindowControls(tags).text("txtTags"),
                     "<title>Second</title>\n<META NAME=\"keywords\" CONTENT=\"\">\n");
        }
    }

    void preferences_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("steps");  // in the Preferences window
        QTest::addColumn<QString>("stored");  // afterwards, as WindowFixture::ticks; "-" for none
        const QByteArray some = "[DefaultItems]\nTitle=1\nKeywords=1\nIncludeHTML=1\nRobot=0\n";
        const QByteArray none;
        // clang-format off
        QTest::newRow("first run, Cancel") << none << "cmdSelectAll;cmdCancel" << "--------------";
        QTest::newRow("Cancel") << some << "cmdSelectAll;cmdCancel" << "11--1---0-----";
        QTest::newRow("first run, OK") << none << "cmdOK" << "00000000000000";
        QTest::newRow("Esc, Enter") << some << "chkRobot;Esc;Return" << "11001000100000";
        QTest::newRow("closed") << some << "chkRobot;close" << "11--1---0-----";
        QTest::newRow("greyed, Cancel") << QByteArray("[DefaultItems]\nTitle=2") << "cmdCancel"
                                        << "-2------------";
        QTest::newRow("greyed, Select All") << QByteArray("[DefaultItems]\nTitle=2")
                                            << "cmdSelectAll;cmdOK" << "11111111111111";
        QTest::newRow("None") << some << "cmdSelectAll;cmdSelectNone;cmdOK" << "00000000000000";
        // clang-format on
    }

    // Only OK (or Enter) stores; however the window closes, the main window's
    // ticks set by hand give way to the stored defaults, and so does a
    // reopened window. Esc does nothing.
    void preferences()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, steps);
        QFETCH(QString, stored);
        f.finish();
        QVERIFY(f.start(settings));
        f.act("chkTitle;chkPublisher;Ctrl+P");
        for (const QString &step : steps.split(';')) {
            QVERIFY2(f.opened<frmPreferences>(), qPrintable("closed before " + step));
            f.act(step, loadedWindow<frmPreferences>());
        }
        QVERIFY(!loadedWindow<frmPreferences>());
        QString values;
        for (const TagItem &item : Catalogue)
            values += f.stored(QLatin1String("DefaultItems/") + item.key).leftJustified(1, '-');
        QCOMPARE(values, stored);
        QCOMPARE(f.ticks(f.window), stored.replace('-', '0'));
        f.act("Ctrl+P");
        frmPreferences *reopened = f.opened<frmPreferences>();
        QVERIFY(reopened);
        QCOMPARE(f.ticks(reopened), stored);
    }

    // Its caption names the major and minor version; its text is four
    // paragraphs one empty line apart, all in view. Each left click on a link
    // (released on it) hands exactly its address to the launcher; when that fails, a message
    // names the address, and the box stays open.
    void about()
    {
        f.act("Ctrl+A");
        frmAbout *about = f.opened<frmAbout>();
        QVERIFY(about);
        const QStringList version = QStringLiteral(ORVANE_VERSION_TEXT).split('.');
        QCOMPARE(about->windowTitle(), "About Orvane Version " + version[0] + "." + version[1]);
        const auto *label = f.get<QLabel>("Label1", about);
        QCOMPARE(label->text().split(QRegularExpression("\\S\r\n\r\n\\S")).size(), 4);
        QVERIFY(!QString(label->text()).remove("\r\n\r\n").contains('\n'));
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
        // A press that the user takes off the link before letting go opens nothing.
        QWidget *site = f.get("lblWebsite", about);
        QTest::mousePress(site, Qt::LeftButton);
        QTest::mouseRelease(site, Qt::LeftButton, {}, QPoint(site->width() + 5, 3));
        QCOMPARE(f.launched, QList<QUrl>());
        for (const char *link : {"lblWebsite", "lblEmail"}) {
            for (const bool works : {true, false}) {
                f.launcherWorks = works;
                QTest::mouseClick(f.get(link, about), Qt::RightButton);
                QTest::mouseClick(f.get(link, about), Qt::LeftButton);
            }
        }
        const QUrl website("https://www.quillfern.example");
        const QUrl email("mailto:orvane@quillfern.example?Subject=Orvane");
        QCOMPARE(f.launched, QList<QUrl>({website, website, email, email}));
        QCOMPARE(f.messages,
                 QStringList({" [Warning] Orvane could not open https://www.quillfern.example: "
                              "no web browser could be started.",
                              " [Warning] Orvane could not start an e-mail program to write to "
                              "orvane@quillfern.example."}));
        QVERIFY(about->isVisible());
    }

    // Robot Values is one window however often Values? is pressed. Closing
    // the main window, which saves its position, leaves the run going; Robot
    // Values closing ends it. Runs the application's own event loop.
    void runEndsWithTheLastWindow()
    {
        f.act("cmdRobotValues");
        QPointer<frmRobotValues> robot = f.opened<frmRobotValues>();
        QVERIFY(robot);
        f.act("cmdRobotValues");
        QCOMPARE(loadedWindow<frmRobotValues>(), robot);
        // Moved by the user: the frame, title bar included, at (150, 90).
        f.window->windowHandle()->setFramePosition(QPoint(150, 90));
        QTRY_COMPARE_WITH_TIMEOUT(f.window->frameGeometry().topLeft(), QPoint(150, 90), WaitLimit);
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        // Inside the run: the main window closes; then, the run going on, Robot Values.
        bool runOnWithoutMain = false;
        QTimer::singleShot(0, robot, [&] { f.window->close(); });
        QTimer::singleShot(0, robot, [&] {
            runOnWithoutMain = lastWindowClosed.isEmpty() && robot->isVisible();
            f.act("cmdOK", robot);
        });
        // A watchdog for a run that would not end; it goes with the test.
        QTimer::singleShot(30000, &lastWindowClosed, [] { QCoreApplication::exit(3); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(runOnWithoutMain && !loadedWindow<frmRobotValues>() &&
                lastWindowClosed.count() == 1);
        // In twips, fifteen to a pixel on a 96 dpi screen.
        QCOMPARE(f.stored("StartupPosition/Left") + " " + f.stored("StartupPosition/Top"),
                 "2250 1350");
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
