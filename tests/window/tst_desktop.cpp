// The windows on a desktop whose window manager draws frames and hands the
// activation around (openbox under Xvfb), seen as the X server and the window
// manager see them: where the main window's frame opens, which window is
// active after each dialog, what marks the tool windows, a minimized window
// shown again, and how a screen reader names each window.

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

// The numbers in xprop's answer after the property's name and type: the
// frame's edges, a window id.
QList<qlonglong> numbers(const QString &answer)
{
    QList<qlonglong> values;
    static const QRegularExpression number("0x[0-9a-f]+|-?\\d+");
    for (const auto &match : number.globalMatch(answer.section(')', 1)))
        values << match.captured().toLongLong(nullptr, 0);
    return values;
}

// The outer top-left corner of a window as the window manager placed it: the
// client area's place on the screen less the frame's left and top edges;
// nothing until the window manager has framed it.
std::optional<QPoint> frameCorner(const QWidget *window)
{
    const QList<qlonglong> edges = numbers(xProperty(window, "_NET_FRAME_EXTENTS"));
    const QString info = run("xwininfo", {"-id", windowId(window)});
    const auto at = [&info](const char *axis) {
        const QString line = QString("Absolute upper-left %1: +(-?\\d+)").arg(axis);
        return QRegularExpression(line).match(info);
    };
    if (edges.size() != 4 || !at("X").hasMatch() || !at("Y").hasMatch())
        return std::nullopt;
    return QPoint(at("X").captured(1).toInt() - int(edges[0]),
                  at("Y").captured(1).toInt() - int(edges[2]));
}

// The window the window manager has made active.
QString activeOnScreen()
{
    const QList<qlonglong> ids = numbers(run("xprop", {"-root", "_NET_ACTIVE_WINDOW"}));
    return ids.isEmpty() ? QString() : QString::number(ids[0]);
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
        QTest::addColumn<QString>("stored");  // Left and Top after a close without a move
        QTest::newRow("nothing stored") << QByteArray() << QPoint(0, 0) << "0 0";
        QTest::newRow("left and above the screen")
            << QByteArray("Left=-450\nTop=-300") << QPoint(-30, -20) << "-450 -300";
        QTest::newRow("between pixels") << QByteArray("Left=7\nTop=-8") << QPoint(0, -1) << "0 -15";
        QTest::newRow("junk") << QByteArray("Left=abc\nTop=-99999999999") << QPoint(0, 0) << "0 0";
    }

    // The outer frame, title bar included, opens at the stored point, the
    // nearest pixel to it; a close without a move stores that place again.
    void position()
    {
        QFETCH(QByteArray, record);
        QFETCH(QPoint, frameAt);
        QFETCH(QString, stored);
        f.finish();
        QVERIFY(f.start(record.isEmpty() ? record : "[StartupPosition]\n" + record));
        std::optional<QPoint> corner;  // where it is once framed, not where it may go later
        QTRY_VERIFY_WITH_TIMEOUT((corner = frameCorner(f.window)).has_value(), WaitLimit);
        QCOMPARE(*corner, frameAt);
        f.act("Ctrl+Q");
        QTRY_VERIFY_WITH_TIMEOUT(!loadedWindow<frmMain>(), WaitLimit);
        QCOMPARE(f.stored("StartupPosition/Left") + " " + f.stored("StartupPosition/Top"), stored);
    }

    void focusAfterDialogs_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("dialogs");  // the captions of the dialogs answered
        QTest::newRow("saved") << "saved" << "Save As";
        QTest::newRow("cancelled") << "cancelled" << "Save As";
        QTest::newRow("save fails") << "fails" << "Orvane";
        QTest::newRow("refresh refused") << "refused" << "Processing Error";
    }

    // Once a dialog or a message closes, the window that opened it is active
    // again, for the window manager too, with the focus where it was (after
    // the refusal: in the seconds). The real file dialog and message box are
    // answered with keys as a user would answer them; only the failing
    // save's file name comes from a stand-in.
    void focusAfterDialogs()
    {
        QFETCH(QString, ending);
        QFETCH(QString, dialogs);
        QTemporaryDir files;
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
            answered << modal->windowTitle();
            if (qobject_cast<QFileDialog *>(modal) && ending == "saved")
                QTest::keyClicks(modal->findChild<QLineEdit *>("fileNameEdit"),
                                 files.filePath("saved.htm"));
            const bool cancel = ending == "cancelled";
            QTest::keyClick(modal->windowHandle(), cancel ? Qt::Key_Escape : Qt::Key_Return);
        });
        answer.start(50);
        f.act(keys, opener);
        QTRY_COMPARE_WITH_TIMEOUT(answered.join(", "), dialogs, WaitLimit);
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), WaitLimit);
        QTRY_COMPARE_WITH_TIMEOUT(activeOnScreen(), windowId(opener), WaitLimit);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), focus, WaitLimit);
        QCOMPARE(QFileInfo::exists(files.filePath("saved.htm")), ending == "saved");
    }

    void eachWindow_data()
    {
        QTest::addColumn<QString>("opener");  // keys, each to the window in front
        QTest::addColumn<QString>("caption");
        QTest::newRow("main") << "" << "Orvane";
        QTest::newRow("Tags") << "Return" << "Tags";
        QTest::newRow("Errors") << "Return Alt+E" << "Errors";
        QTest::newRow("Preferences") << "Ctrl+P" << "Preferences";
        QTest::newRow("About") << "Ctrl+A" << "About Orvane Version ";
        QTest::newRow("Robot Values") << "Alt+V" << "Robot Values";
    }

    // The main window has the program's icon and a taskbar button; a tool
    // window has neither (the window manager may show an icon of its own for
    // it) and is of a utility or dialog type. A screen reader hears each
    // as a window (a tool window as a dialog) named by its caption.
    void eachWindow()
    {
        QFETCH(QString, opener);
        QFETCH(QString, caption);
        for (const QString &keys : opener.split(' ', Qt::SkipEmptyParts)) {
            QWidget *below = QApplication::activeWindow();
            QVERIFY(below);
            f.act(keys, below);
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() &&
                                         QApplication::activeWindow() != below, WaitLimit);
        }
        QWidget *window = QApplication::activeWindow();
        QVERIFY(window && window->windowTitle().startsWith(caption));
        const bool tool = window != f.window;
        // Mapped and managed.
        QTRY_VERIFY_WITH_TIMEOUT(xProperty(window, "_NET_WM_STATE").contains("="), WaitLimit);
        QCOMPARE(xProperty(window, "_NET_WM_STATE").contains("_NET_WM_STATE_SKIP_TASKBAR"), tool);
        const QString type = xProperty(window, "_NET_WM_WINDOW_TYPE");
        QVERIFY2(tool ? type.contains(QRegularExpression("_TYPE_(UTILITY|DIALOG)"))
                      : type.endsWith("_NET_WM_WINDOW_TYPE_NORMAL"), qPrintable(type));
        const auto icon = [](const QWidget *w) {
            return run("xprop", {"-id", windowId(w), "_NET_WM_ICON"});
        };
        // The main window's icon is set once it has been painted.
        QTRY_VERIFY_WITH_TIMEOUT(icon(f.window).contains("="), WaitLimit);
        QCOMPARE(icon(window) == icon(f.window), !tool);
        QAccessibleInterface *announced = QAccessible::queryAccessibleInterface(window);
        QVERIFY(announced);
        QCOMPARE(announced->role(), tool ? QAccessible::Dialog : QAccessible::Window);
        QCOMPARE(announced->text(QAccessible::Name), window->windowTitle());
    }

    // A help window minimized through the window manager comes back, in
    // front and active, when Values? is pressed again.
    void minimizedComesBack()
    {
        f.act("Alt+V");
        QPointer<frmRobotValues> robot = f.opened<frmRobotValues>();
        QVERIFY(robot);
        QCOMPARE(run("xdotool", {"windowminimize", "--sync", windowId(robot)}), "");
        QTRY_VERIFY_WITH_TIMEOUT(robot && robot->isMinimized(), WaitLimit);
        QVERIFY(f.focus(f.get("txtTitle")));
        f.act("Alt+V");
        QTRY_VERIFY_WITH_TIMEOUT(xProperty(robot, "WM_STATE").contains("Normal"), WaitLimit);
        QTRY_COMPARE_WITH_TIMEOUT(activeOnScreen(), windowId(robot), WaitLimit);
        QTRY_VERIFY_WITH_TIMEOUT(robot && robot->isVisible() && !robot->isMinimized() &&
                                     robot->isActiveWindow(), WaitLimit);
        QCOMPARE(loadedWindow<frmRobotValues>(), robot);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
