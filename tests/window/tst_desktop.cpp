// The windows as an X server and a window manager (openbox under Xvfb) see
// them, and as a screen reader names them.

#include "WindowFixture.h"

#include <QAccessible>

namespace {

// An X tool's output, or "(failed)".
QString run(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(WaitLimit) || tool.exitCode() != 0)
        return "(failed)";
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QString windowId(const QWidget *window)
{
    return QString::number(window->winId());
}

// One property of a window as xprop prints it, its first bytes only.
QString xProperty(const QWidget *window, const char *name)
{
    return run("xprop", {"-len", "64", "-id", windowId(window), name});
}

// The numbers in xprop's answer after the property's name and type.
QList<qlonglong> numbers(const QString &answer)
{
    QList<qlonglong> values;
    static const QRegularExpression number("0x[0-9a-f]+|-?\\d+");
    for (const auto &match : number.globalMatch(answer.section(')', 1)))
        values << match.captured().toLongLong(nullptr, 0);
    return values;
}

const QPoint NotFramed(-99999, -99999);

// A window's outer top-left corner: its client area's place less the frame's edges.
QPoint frameCorner(const QWidget *window)
{
    const QList<qlonglong> edges = numbers(xProperty(window, "_NET_FRAME_EXTENTS"));
    const QString info = run("xwininfo", {"-id", windowId(window)});
    const auto at = [&info](const char *axis) {
        const QString line = QString("Absolute upper-left %1: +(-?\\d+)").arg(axis);
        return QRegularExpression(line).match(info);
    };
    if (edges.size() != 4 || !at("X").hasMatch() || !at("Y").hasMatch())
        return NotFramed;
    return QPoint(at("X").captured(1).toInt() - int(edges[0]),
                  at("Y").captured(1).toInt() - int(edges[2]));
}

// The window the window manager has made active.
QString activeOnScreen()
{
    const QList<qlonglong> ids = numbers(run("xprop", {"-root", "_NET_ACTIVE_WINDOW"}));
    return ids.isEmpty() ? QString() : QString::number(ids[0]);
}

// What a file dialog offers, seen in `folder`: its types, the one chosen,
// and the files each type shows; the first type chosen again afterwards.
QString offered(QFileDialog *dialog, const QString &folder)
{
    auto *types = dialog->findChild<QComboBox *>("fileTypeCombo");
    auto *view = dialog->findChild<QListView *>("listView");
    if (!types || !view)
        return "(no list of types or files)";
    QStringList seen;
    for (int i = 0; i < types->count(); ++i)
        seen << types->itemText(i);
    seen << "chosen " + types->currentText();
    dialog->setDirectory(folder);
    const auto shown = [view] {
        QStringList names;
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
            names << view->model()->index(row, 0, view->rootIndex()).data().toString();
        names.sort();
        return names.join(' ');
    };
    for (const QString expected : {"a.htm b.html", "c.txt"}) {
        seen << (QTest::qWaitFor([&] { return shown() == expected; }, WaitLimit) ? expected : shown());
        QTest::keyClick(types, Qt::Key_Down);
    }
    QTest::keyClick(types, Qt::Key_Up);
    return seen.join(", ");
}

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT

    WindowFixture f;

private slots:
    void init() { QVERIFY(f.start()); }
    void cleanup() { f.finish(); }

    void position_data()
    {
        QTest::addColumn<QByteArray>("record");  // Left and Top in twips
        QTest::addColumn<QPoint>("frameAt");
        QTest::addColumn<QPoint>("movedTo");  // by the user, before the close
        QTest::addColumn<QString>("stored");  // Left and Top after the close
        // clang-format off
        QTest::newRow("left and above the screen")
            << QByteArray("Left=-450\nTop=-300") << QPoint(-30, -20) << QPoint(-30, -20) << "-450 -300";
        QTest::newRow("between pixels") << QByteArray("Left=7\nTop=-8") << QPoint(0, -1) << QPoint(0, -1) << "0 -15";
        QTest::newRow("junk") << QByteArray("Left=abc\nTop=-99999999999") << QPoint() << QPoint() << "0 0";
        QTest::newRow("moved") << QByteArray() << QPoint() << QPoint(150, 90) << "2250 1350";
        // clang-format on
    }

    // The outer frame opens at the stored point, the nearest pixel to it; a
    // close stores where the frame was then, and the next run opens there.
    void position()
    {
        QFETCH(QByteArray, record);
        QFETCH(QPoint, frameAt);
        QFETCH(QPoint, movedTo);
        QVERIFY(f.restart(record.isEmpty() ? record : "[StartupPosition]\n" + record));
        QTRY_VERIFY_WITH_TIMEOUT(frameCorner(f.window) != NotFramed, WaitLimit);
        QCOMPARE(frameCorner(f.window), frameAt);  // once framed, not where it may go later
        if (movedTo != frameAt)
            f.window->windowHandle()->setFramePosition(movedTo);
        QTRY_COMPARE_WITH_TIMEOUT(frameCorner(f.window), movedTo, WaitLimit);
        f.act("Ctrl+Q");
        QTRY_VERIFY_WITH_TIMEOUT(!loadedWindow<frmMain>(), WaitLimit);
        QTEST(f.stored("StartupPosition/Left") + " " + f.stored("StartupPosition/Top"), "stored");
        auto config = std::move(f.config);  // the next run, on the same config folder
        f.finish();
        f.config = std::move(config);
        QVERIFY(f.start());
        QTRY_VERIFY_WITH_TIMEOUT(frameCorner(f.window) != NotFramed, WaitLimit);
        QCOMPARE(frameCorner(f.window), movedTo);
    }

    void focusAfterDialogs_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("dialogs");  // each answered: its caption and what it said
        const QString saveAs = "Save As: HTML File (*.htm, *.html), Text File (*.txt), "
                               "chosen HTML File (*.htm, *.html), a.htm b.html, c.txt";
        QTest::newRow("saved") << "saved" << saveAs;
        QTest::newRow("cancelled") << "cancelled" << saveAs;
        QTest::newRow("save fails") << "fails" << "Orvane: [NoIcon] The file could not be saved. "
                                                  "This may be due to one of the following:, 3 reasons";
        QTest::newRow("refresh refused")
            << "refused" << "Processing Error: [Warning] A refresh seconds value is required, 0 reasons";
    }

    // The real file dialog and message box, answered with keys: what each says, and once it
    // closes, its opener active again, for the window manager too, with the focus where it
    // was (after the refusal: in the seconds). A name without extension is saved as ".txt".
    void focusAfterDialogs()
    {
        QFETCH(QString, ending);
        QTemporaryDir files;
        for (const char *name : {"a.htm", "b.html", "c.txt", "d.doc"})
            QVERIFY(WindowFixture::writeFile(files.filePath(name), "old"));
        Prompts::Hooks hooks;
        if (ending == "fails")
            hooks.saveFileName = [&](const Prompts::SaveRequest &) {
                return files.filePath("missing/tags.htm");
            };
        Prompts::setHooks(hooks);
        QWidget *opener = f.window;
        QWidget *focus = f.get("txtRefreshSeconds");
        QString keys = "Alt+G";
        if (ending == "refused") {
            f.act("txtRefreshURL=next.htm;txtTitle");
        } else {
            f.act("txtTitle=Page;Return");
            opener = f.opened<frmTags>();
            QVERIFY(opener);
            focus = f.get("txtTags", opener);
            keys = "Alt+S";
        }
        QVERIFY(f.focus(focus));
        QStringList answered;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isActiveWindow())
                return;
            answer.stop();  // while this one is looked at
            QString said = "(neither a file dialog nor a message box)";
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                said = offered(dialog, files.path());
                if (ending == "saved")
                    QTest::keyClicks(dialog->findChild<QLineEdit *>("fileNameEdit"), "saved");
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                const char *icon = QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon());
                // Its first line, and how many reasons follow it, one a line.
                said = QString("[%1] %2, %3 reasons")
                           .arg(icon, box->text().section("\r\n", 0, 0))
                           .arg(box->text().count("\r\n- "));
            }
            answered << modal->windowTitle() + ": " + said;
            const bool cancel = ending == "cancelled";
            QTest::keyClick(modal->windowHandle(), cancel ? Qt::Key_Escape : Qt::Key_Return);
            answer.start();
        });
        answer.start(50);
        f.act(keys, opener);
        QFETCH(QString, dialogs);
        QTRY_COMPARE_WITH_TIMEOUT(answered.join(", "), dialogs, WaitLimit);
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), WaitLimit);
        QTRY_COMPARE_WITH_TIMEOUT(activeOnScreen(), windowId(opener), WaitLimit);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), focus, WaitLimit);
        QFile saved(files.filePath("saved.txt"));
        QCOMPARE(saved.open(QIODevice::ReadOnly) ? saved.readAll() : "(none)",
                 ending == "saved" ? "<title>Page</title>\r\n" : "(none)");
    }

    void eachWindow_data() { windowRows(); }

    // The main window has the program's icon and a taskbar button; a tool
    // window has neither and is of a utility or dialog type. A screen reader
    // hears each as a window (a tool window as a dialog) named by its caption.
    void eachWindow()
    {
        QFETCH(int, window);
        QWidget *w = f.openByKeys(Windows[window].opener);
        QVERIFY(w);
        const QRegularExpression caption(QRegularExpression::anchoredPattern(Windows[window].caption));
        QVERIFY2(caption.match(w->windowTitle()).hasMatch(), qPrintable(w->windowTitle()));
        const bool tool = w != f.window;
        // Mapped and managed.
        QTRY_VERIFY_WITH_TIMEOUT(xProperty(w, "_NET_WM_STATE").contains("="), WaitLimit);
        QCOMPARE(xProperty(w, "_NET_WM_STATE").contains("_NET_WM_STATE_SKIP_TASKBAR"), tool);
        const QString type = xProperty(w, "_NET_WM_WINDOW_TYPE");
        QVERIFY2(tool ? type.contains(QRegularExpression("_TYPE_(UTILITY|DIALOG)"))
                      : type.endsWith("_NET_WM_WINDOW_TYPE_NORMAL"), qPrintable(type));
        const auto icon = [](const QWidget *of) {
            return run("xprop", {"-id", windowId(of), "_NET_WM_ICON"});
        };
        // The main window's icon is set once it has been painted.
        QTRY_VERIFY_WITH_TIMEOUT(icon(f.window).contains("="), WaitLimit);
        QCOMPARE(icon(w) == icon(f.window), !tool);
        QAccessibleInterface *announced = QAccessible::queryAccessibleInterface(w);
        QVERIFY(announced);
        QCOMPARE(announced->role(), tool ? QAccessible::Dialog : QAccessible::Window);
        QCOMPARE(announced->text(QAccessible::Name), w->windowTitle());
    }

    // A minimized help window comes back, in front and active, on Values? again.
    void minimizedComesBack()
    {
        f.act("Alt+V");
        QPointer<frmRobotValues> robot = f.opened<frmRobotValues>();
        QVERIFY(robot);
        QCOMPARE(run("xdotool", {"windowminimize", "--sync", windowId(robot)}), "");
        QTRY_VERIFY_WITH_TIMEOUT(robot && robot->isMinimized(), WaitLimit);
        QVERIFY(f.focus(f.get("txtTitle")));
        f.act("Alt+V");
        QTRY_COMPARE_WITH_TIMEOUT(activeOnScreen(), windowId(robot), WaitLimit);
        QTRY_VERIFY_WITH_TIMEOUT(robot && robot->isVisible() && !robot->isMinimized() &&
                                     robot->isActiveWindow(), WaitLimit);
        QCOMPARE(loadedWindow<frmRobotValues>(), robot);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
