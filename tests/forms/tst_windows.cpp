// The windows at work on X11 with a window manager (for a clipboard that
// another program reads).

#include "WindowFixture.h"

#include "Version.h"

using namespace ProcessTags;

namespace {

// Each field of the main window with the check box that starts its row.
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

// What another program pastes; this program answers from its event loop.
// (Under Wine the X clipboard is Wine's copy of Windows' own, made on
// demand: the end-to-end run checks it from outside; here Qt reads it.)
QByteArray pasted()
{
#ifdef Q_OS_WIN
    return QGuiApplication::clipboard()->text().toUtf8();
#else
    QProcess xclip;
    xclip.start("xclip", {"-o", "-selection", "clipboard"});
    const auto done = [&] { return xclip.state() == QProcess::NotRunning; };
    return QTest::qWaitFor(done, WaitLimit) ? xclip.readAllStandardOutput() : "(no answer)";
#endif
}

}  // namespace

class TestWindows : public QObject {
    Q_OBJECT

    WindowFixture f;

private slots:
    void init() { QVERIFY(f.start()); }
    void cleanup() { f.finish(); }

    // A blank keeps its width in the windows' font, after a capital A too:
    // "<META NAME", not "<METANAME".
    void blanksKeepTheirWidth()
    {
        const QFontMetricsF m(f.get("txtTitle")->font());
        const qreal blank = m.horizontalAdvance(QStringLiteral("A B")) - m.horizontalAdvance(QStringLiteral("AB"));
        QVERIFY2(blank > m.horizontalAdvance(QLatin1Char(' ')) * 0.75, qPrintable(QString::number(blank)));
    }

    // A fixed size; Tab row by row, left to right, and round.
    void asFirstSeen()
    {
        QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget(), WaitLimit);
        QStringList walk;
        for (int i = 0; i < 29; ++i, f.act("Tab"))
            walk << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "-");
        QCOMPARE(walk.join(' '), "chkTitle txtTitle chkKeywords txtKeywords chkDescription "
                                 "txtDescription chkCopyright txtCopyright chkRevisitAfter "
                                 "txtRevisitAfter chkCreator txtCreator chkEmail txtEmail chkRefresh "
                                 "txtRefreshURL txtRefreshSeconds chkRobot cboRobot cmdRobotValues "
                                 "chkPublisher txtPublisher chkContributors txtContributors chkDCTitle "
                                 "chkDCDescription cmdGenerateTags chkIncludeHTML chkTitle");
    }

    // Each field is named by its row's box, keeps a long pasted text whole,
    // and ticks the box exactly while its text is not empty, however the text
    // changes.
    void fieldsAndTheirBoxes()
    {
        const auto pairs = fieldsAndBoxes(f.window);
        QCOMPARE(pairs.size(), 12);
        const QString text(40000, 'k');
        QGuiApplication::clipboard()->setText(text);
        for (const auto &[field, box] : pairs) {
            const QByteArray name = field->objectName().toLatin1();
            QVERIFY2(field->accessibleName().startsWith(box->text()), name);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            QVERIFY2(box->isChecked() && f.window->controls().text(name) == text, name);
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
            QVERIFY2(!box->isChecked(), name);
        }
        // The two Refresh fields share one box: the latest change decides.
        f.act("txtRefreshSeconds=12;txtRefreshURL=x");
        QTest::keyClick(f.get("txtRefreshURL"), Qt::Key_Backspace);
        QVERIFY(!f.get<QCheckBox>("chkRefresh")->isChecked());
        // Chosen from the list; then, unticked by hand, the entry shown chosen again.
        auto *robot = f.get<ComboTextBox>("cboRobot");
        QTest::keyClick(robot, Qt::Key_Down);
        QVERIFY(robot->text() == "ALL" && f.get<QCheckBox>("chkRobot")->isChecked());
        f.act("chkRobot");
        robot->showPopup();
        QTest::keyClick(robot->view(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(f.get<QCheckBox>("chkRobot")->isChecked(), WaitLimit);
    }

    void greyedBoxes_data()
    {
        QTest::addColumn<QString>("steps");  // in Preferences while it is open, else the main window
        QTest::addColumn<QString>("values");  // chkTitle's, after each step
        QTest::newRow("after the tick rule")
            << "txtTitle=a;chkTitle;txtCreator=b;txtTitle=c;chkTitle;chkTitle" << "100101";
        QTest::newRow("after Clear All") << "mnuClearAll;chkTitle;chkTitle" << "010";
        QTest::newRow("after Reset") << "mnuReset;chkTitle;chkTitle;chkTitle" << "2101";
        QTest::newRow("Preferences, OK") << "Ctrl+P;chkTitle;chkTitle;chkTitle;cmdOK" << "21011";
        QTest::newRow("Select None") << "Ctrl+P;cmdSelectNone;chkTitle;chkTitle" << "2010";
    }

    // A box greyed by a stored 2, in either window: clicks, once it or
    // anything else has set it, only tick and untick it. A box set by hand
    // stays until its own field changes.
    void greyedBoxes()
    {
        QFETCH(QString, steps);
        QVERIFY(f.restart("[DefaultItems]\nTitle=2"));
        const auto front = [this]() -> QWidget * {
            QWidget *preferences = loadedWindow<frmPreferences>();
            return preferences ? preferences : f.window;
        };
        QString seen;
        for (const QString &step : steps.split(';')) {
            f.act(step, front());
            QVERIFY(step != "Ctrl+P" || f.opened<frmPreferences>());
            seen += QString::number(WindowControls(front()).checkValue("chkTitle"));
        }
        QTEST(seen, "values");
    }

    void formMenu_data()
    {
        QTest::addColumn<QString>("item");  // with the steps before it
        QTest::addColumn<QString>("ticks");  // afterwards, as WindowFixture::ticks
        QTest::addColumn<bool>("filled");  // every field, else none
        // An entry chosen from the robot list first: chosen no more.
        QTest::newRow("Clear All") << "cboRobot;Down;Down;Down;Down;txtDescription;mnuClearAll"
                                   << "00000000000000" << false;
        QTest::newRow("Reset")
            << "cboRobot;Down;txtDescription;mnuReset" << "00000000100000" << false;
        QTest::newRow("Fill in Examples") << "mnuFillInExamples" << "01111111111111" << true;
    }

    // Reset empties the fields and loads the defaults as stored by then; Fill
    // in Examples fills them and ticks all but Include HTML; Clear All empties
    // and unticks all; none stores the window's place. Ctrl+Z then does not
    // replay older edits on the text.
    void formMenu()
    {
        QFETCH(QString, item);
        QFETCH(bool, filled);
        QVERIFY(f.restart("[DefaultItems]\nEmail=1\nRobot=1\nIncludeHTML=0"));
        QCOMPARE(f.ticks(f.window), "00100000100000");
        f.store("DefaultItems/Email", "0");
        QVERIFY(f.focus(f.get("txtDescription")));
        f.act("txtTitle=a;txtDescription=typed;Ctrl+Return;txtDescription=more");
        f.act(item);
        QTEST(f.ticks(f.window), "ticks");
        for (const auto &[field, box] : fieldsAndBoxes(f.window))
            QVERIFY2(f.window->controls().text(field->objectName()).isEmpty() != filled,
                     qPrintable(field->objectName()));
        const QString description = f.window->controls().text("txtDescription");
        f.act("Ctrl+Z;Ctrl+Z");
        QCOMPARE(f.window->controls().text("txtDescription"), description);
        QStringList entries;  // the list as at the start: four entries, none chosen
        for (int i = 0; i < 5; ++i, entries << f.window->controls().text("cboRobot"))
            QTest::keyClick(f.get("cboRobot"), Qt::Key_Down);
        QCOMPARE(entries.join(' '), "ALL NOINDEX NOFOLLOW NONE NONE");
        QCOMPARE(f.stored("StartupPosition/Left"), QString());
    }

    void keys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("front");  // the window or menu in front afterwards
        QTest::newRow("keypad Enter in a text box") << "txtKeywords" << "Num+Enter" << "frmTags";
        QTest::newRow("Enter in the description") << "txtDescription" << "Return" << "frmTags";
        QTest::newRow("Enter on a check box") << "chkEmail" << "Return" << "frmTags";
        QTest::newRow("Enter, combo text selected") << "cboRobot" << "Return" << "frmTags";
        QTest::newRow("Enter on Values?") << "cmdRobotValues" << "Return" << "frmRobotValues";
        QTest::newRow("Ctrl+Enter: a new line") << "txtDescription" << "Ctrl+Return" << "frmMain";
        QTest::newRow("Alt+F, P") << "txtTitle" << "Alt+F;P" << "frmPreferences";
        QTest::newRow("Alt+O") << "txtTitle" << "Alt+O" << "mnuForm";
        QTest::newRow("Alt+H, A") << "txtTitle" << "Alt+H;A" << "frmAbout";
        QTest::newRow("Ctrl+Q in the combo box") << "cboRobot" << "Ctrl+Q" << "";
    }

    // Enter presses the focused button, else Generate; Ctrl+Enter starts a
    // line in the description; access keys and shortcuts work anywhere.
    void keys()
    {
        QFETCH(QString, focus);
        QFETCH(QString, front);
        // For the combo box: a text chosen from its list, all selected.
        f.get<ComboTextBox>("cboRobot")->setCurrentIndex(0);
        f.get<ComboTextBox>("cboRobot")->textBox()->selectAll();
        QVERIFY(f.focus(f.get(qPrintable(focus))));
        QFETCH(QString, keys);
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
        QTest::addColumn<bool>("save");  // a file chosen, else a cancel
        QTest::addColumn<QString>("text");  // copied and saved, lines ending CRLF
        QTest::newRow("seconds blank")
            << "txtTitle=Caf\u00e9\u00a0;txtDescription=a\u00a0b;txtRefreshSeconds= " << ""
            << true << "<title>Caf\u00e9\u00a0</title>\n<META HTTP-EQUIV=\"refresh\" CONTENT=\" \">\n"
               "<META NAME=\"description\" CONTENT=\"a\u00a0b\">\n";
        QTest::newRow("seconds letters, edited")
            << "txtRefreshURL=next.htm;txtRefreshSeconds=abc" << "x;Ctrl+Return;y;Shift+Return;z"
            << true << "<META HTTP-EQUIV=\"refresh\" CONTENT=\"abc; URL=next.htm\">\nx\ny\nz";
        QTest::newRow("unticked, cancelled") << "txtRefreshURL=x;chkRefresh" << "" << false << "";
        QTest::newRow("worked example")
            << "txtTitle=Page Title;txtRefreshSeconds=12;cboRobot=NONE;chkIncludeHTML" << ""
            << true << "<html>\n<head>\n<title>Page Title</title>\n"
               "<META HTTP-EQUIV=\"refresh\" CONTENT=\"12\">\n"
               "<META NAME=\"Robot\" CONTENT=\"NONE\">\n</head>\n</html>\n";
    }

    // Copy and Save give exactly the text generated and edited, with CRLF
    // line ends, over a longer file; a cancel says nothing.
    void generating()
    {
        QFETCH(QString, input);
        QFETCH(QString, edit);
        QFETCH(bool, save);
        QFETCH(QString, text);
        f.act(input + ";cmdGenerateTags");
        frmTags *tags = f.opened<frmTags>();
        QVERIFY(tags);
        f.act("Ctrl+End;" + edit + ";cmdCopyToClipboard", tags);
        const QByteArray bytes = QString(text).replace("\n", "\r\n").toUtf8();
        QCOMPARE(pasted(), bytes);
#ifdef Q_OS_WIN
        // Saved in the ANSI code page, which is 1252 where these tests run;
        // the rows hold only its letters.
        const QByteArray savedBytes = QString(text).replace("\n", "\r\n").toLatin1();
#else
        const QByteArray savedBytes = bytes;  // the system's code page is UTF-8
#endif
        QTemporaryDir files;
        const QString file = files.filePath("tags.htm");
        QVERIFY(WindowFixture::writeFile(file, QByteArray(500, '.')));
        f.saveAnswer = save ? file : QString();
        f.act("cmdSave", tags);
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), save ? savedBytes : QByteArray(500, '.'));
        QCOMPARE(f.messages.join(""), "");
        QVERIFY(f.saves == 1 && tags->isVisible() && tags->isEnabled());
    }

    void closing_data()
    {
        QTest::addColumn<int>("window");  // in Windows, with what closes it and what does not
        QTest::addColumn<QString>("how");  // a button, keys, or "close" from the window manager
        QTest::addColumn<bool>("closes");
        for (int i = 1; i < int(std::size(Windows)); ++i)
            for (const bool closes : {true, false})
                for (const QString &how : QString(closes ? Windows[i].closers : Windows[i].stayers).split(' '))
                    QTest::addRow("%s, %s", Windows[i].name, qPrintable(how)) << i << how << closes;
    }

    // A window that opens another takes no input and stays until the other
    // closes, then has its focus back; Esc on the tags window saves, and a new
    // generation opens it afresh. Robot Values disables nothing.
    void closing()
    {
        QFETCH(int, window);
        QFETCH(QString, how);
        QFETCH(bool, closes);
        const QString opener = Windows[window].opener;
        f.act("chkKeywords;txtTitle");  // an item ticked and empty, to list; then into the title
        const qsizetype lastKeys = opener.lastIndexOf(' ') + 1;
        QPointer<QWidget> below = f.openByKeys(opener.left(lastKeys));
        QVERIFY(below);
        QWidget *focusBelow = QApplication::focusWidget();
        QPointer<QWidget> top = f.openByKeys(opener.mid(lastKeys));
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
        QTest::newRow("Cancel") << some << "cmdSelectAll;cmdCancel" << "11--1---0-----";
        QTest::newRow("first run, OK") << none << "cmdOK" << "00000000000000";
        QTest::newRow("Esc, Enter") << some << "chkRobot;Esc;Return" << "11001000100000";
        QTest::newRow("closed") << some << "chkRobot;close" << "11--1---0-----";
        QTest::newRow("greyed, OK") << QByteArray("[DefaultItems]\nTitle=2") << "cmdOK" << "02000000000000";
        QTest::newRow("greyed, Select All") << QByteArray("[DefaultItems]\nTitle=2")
                                            << "cmdSelectAll;cmdOK" << "11111111111111";
    }

    // Only OK (or Enter) stores; however it closes, the main window's hand-set ticks
    // give way to the stored defaults, as a reopened window's do. Esc does nothing.
    void preferences()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, steps);
        QFETCH(QString, stored);
        QVERIFY(f.restart(settings));
        f.act("chkTitle;chkPublisher;Ctrl+P");
        for (const QString &step : steps.split(';')) {
            QVERIFY2(f.opened<frmPreferences>(), qPrintable("closed before " + step));
            f.act(step, loadedWindow<frmPreferences>());
        }
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

    // Its caption names the release (the version's first two numbers), its text is four
    // paragraphs in view; a link clicked goes to the launcher, a failure warns naming it.
    void about()
    {
        f.act("Ctrl+A");
        frmAbout *about = f.opened<frmAbout>();
        QVERIFY(about);
        const QString release = about->windowTitle().section("About Orvane Version ", 1);
        QVERIFY2(release.count('.') == 1 && QString(ORVANE_VERSION_TEXT).startsWith(release + '.'),
                 qPrintable(release));
        const auto *label = f.get<QLabel>("Label1", about);
        QCOMPARE(label->text().split(QRegularExpression("\\S\r\n\r\n\\S")).size(), 4);
        QVERIFY(!QString(label->text()).remove("\r\n\r\n").contains('\n'));
        // A press that the user takes off the link before letting go opens nothing.
        QWidget *site = f.get("lblWebsite", about);
        QTest::mousePress(site, Qt::LeftButton);
        QTest::mouseRelease(site, Qt::LeftButton, {}, QPoint(site->width() + 5, 3));
        QCOMPARE(f.launched, QList<QUrl>());
        for (const char *link : {"lblWebsite", "lblEmail"})
            for (const bool works : {true, false}) {
                f.launcherWorks = works;
                QTest::mouseClick(f.get(link, about), Qt::RightButton);
                QTest::mouseClick(f.get(link, about), Qt::LeftButton);
            }
        const QUrl website("https://www.quillfern.example");
        const QUrl email("mailto:orvane@quillfern.example?Subject=Orvane");
        QCOMPARE(f.launched, QList<QUrl>({website, website, email, email}));
        const QRegularExpression warnings(QRegularExpression::anchoredPattern(
            " \\[Warning\\] [^|]*https://www.quillfern.example[^|]*"
            "\\| \\[Warning\\] [^|]*orvane@quillfern.example[^|]*"));
        QVERIFY2(warnings.match(f.messages.join('|')).hasMatch(), qPrintable(f.messages.join('|')));
        QVERIFY(about->isVisible());
    }

    // Closing the main window leaves the run going; Robot Values closing ends it.
    void runEndsWithTheLastWindow()
    {
        f.act("cmdRobotValues");
        QPointer<frmRobotValues> robot = f.opened<frmRobotValues>();
        QVERIFY(robot);
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
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
