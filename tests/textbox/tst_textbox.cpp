// The multi-line text box: wrapping, scrolling, the mouse, the screen reader,
// input methods and lines of megabytes (keys: tst_textbox_random). On X11,
// for the X selection that a middle click pastes.

#include "KeySteps.h"
#include "MultiLineTextBox.h"
#include "OneLineTextBox.h"
#include "TextBoxAccessibility.h"
#include "WaitLimit.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <utility>

namespace {

QFont monospace()
{
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    return font;
}

// The rows the box shows, "|" between them.
QString rows(MultiLineTextBox *box)
{
    QStringList shown;
    for (TextPos pos;;) {
        const QPair<TextPos, TextPos> row = box->rowAround(pos);
        shown << box->lines().text(row.first, row.second);
        if (row.second == box->lines().end())
            return shown.join(QLatin1Char('|'));
        const bool lineEnd = row.second.column == box->lines().line(row.second.line).size();
        const TextPos next = lineEnd ? TextPos{row.second.line + 1, 0} : row.second;
        if (next <= pos)  // a row that does not move on would never reach the end
            return shown.join(QLatin1Char('|')) + QStringLiteral("|(stuck)");
        pos = next;
    }
}

void act(QWidget *box, const QString &steps) { keysteps::act(box, steps); }

#ifdef DRAG_PEER
// Counts the drags over a widget and the drops on it, before it sees them.
struct DragEvents : QObject {
    int over = 0, drops = 0;  // entered or moved over; dropped on
    bool eventFilter(QObject *, QEvent *event) override
    {
        over += event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove;
        drops += event->type() == QEvent::Drop;
        return false;
    }
};

// Another program on the display that text is dragged from or into, and
// what it has said; stopped when done with.
struct DragPeer {
    QProcess program;
    QByteArray said;
    explicit DragPeer(const QStringList &how) { program.start(QStringLiteral(DRAG_PEER), how); }
    ~DragPeer()
    {
        program.kill();
        program.waitForFinished(WaitLimit);
    }
    bool says(const char *what)
    {
        said += program.readAllStandardOutput();
        return said.contains(what);
    }
    QString line(const char *starting) const { return said.mid(said.indexOf(starting)).split('\n').front(); }
    QPoint middle() const  // of its window on the screen
    {
        const QStringList shown = line("shown").split(' ');
        return shown.size() == 3 ? QPoint(shown[1].toInt(), shown[2].toInt()) : QPoint();
    }
};

QString number(int n) { return QString::number(n); }

// Moves the X server's mouse as a user's hand does (xdotool's steps).
bool handMoves(const QStringList &steps)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), steps);
    return xdotool.waitForFinished(WaitLimit) && xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}
#endif

}  // namespace

class TestTextBox : public QObject {
    Q_OBJECT

    QWidget window;
    MultiLineTextBox *box = nullptr;

    // A box that shows `columns` characters a line (0: lines do not wrap).
    MultiLineTextBox *makeBox(int columns, MultiLineTextBox *like = nullptr)
    {
        auto *made = new MultiLineTextBox(
            columns ? MultiLineTextBox::Wrap::AtWords : MultiLineTextBox::Wrap::None, &window);
        made->setFont(monospace());
        made->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        made->setAccessibleName(QStringLiteral("Description"));
        made->show();
        const int frame = made->width() - made->viewport()->width();
        const qreal advance = QFontMetricsF(monospace()).horizontalAdvance(QLatin1Char('a'));
        made->resize(like ? like->size() : QSize(frame + 8 + int(std::ceil(advance * (columns ? columns : 20))) + 1, 400));
        if (like)
            return made;
        delete box;
        box = made;
        box->setFocus();
        return box;
    }

private slots:
    void initTestCase()
    {
        installTextBoxAccessibility();
        QApplication::setCursorFlashTime(0);  // a caret that does not blink, to be seen
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, WaitLimit));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window, WaitLimit));
    }

    // The rows shown, and after each key step a fresh layout's, also in a
    // line laid out in pieces; all undone, the text is the first one again.
    void wrapping_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");  // at first, "" for no check
        QTest::addColumn<QString>("keys");   // from the 9000th unit of the first line, or its end
        const QString some = QStringLiteral("one two three four five six seven eight nine ten\nand more");
        QStringList numbers;
        for (int i = 0; i < 3000; ++i)
            numbers << QString::number(i * 7919 % 100000);
        const QString pieces = numbers.join(QLatin1Char(' '));
        // clang-format off
        QTest::newRow("at blanks") << 12 << "the quick brown fox jumps" << "the quick |brown fox |jumps" << "";
        QTest::newRow("a word wider than the box") << 6 << "ab abcdefghijklmnop cd" << "ab |abcdef|ghijkl|mnop |cd" << "";
        QTest::newRow("no-break space holds") << 5 << "aaa\u00a0bbb cc" << "aaa\u00a0b|bb cc" << "";
        QTest::newRow("blanks hang at the edge") << 4 << "abcd    efg" << "abcd    |efg" << "";
        QTest::newRow("lines wrap apart") << 5 << "ab cd ef\n\ngh ij" << "ab cd |ef||gh ij" << "";
        QTest::newRow("no wrapping") << 0 << "ab cd ef gh ij\nk" << "ab cd ef gh ij|k" << "";
        QTest::newRow("typing in the middle, backspace lets words up, delete at a break, new lines") << 12 << some << ""
            << "Ctrl+Home;Down;=xx yyyyy z;Ctrl+Home;Down;Home;Backspace;Backspace;Ctrl+Home;End;Delete;Delete;Delete;Delete;"
               "Ctrl+Home;Down;Return;Down;Down;Return;Backspace";
        QTest::newRow("long: typing, deleting, a new line, pasting a long word") << 12 << pieces << "" << "=xx yy;Delete;Delete;Ctrl+Delete;Return;Ctrl+V";
        // clang-format on
    }

    void wrapping()
    {
        QFETCH(int, columns);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QString, keys);
        QGuiApplication::clipboard()->setText(QString(6000, QLatin1Char('w')));
        makeBox(columns)->setText(text);
        QCOMPARE(rows(box), shown.isEmpty() ? rows(box) : shown);
        box->setCursor({0, 9000});
        const std::unique_ptr<MultiLineTextBox> fresh(makeBox(columns, box));
        for (const QString &key : keys.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            act(box, key);
            fresh->setText(box->text());
            QCOMPARE(rows(box), rows(fresh.get()));
        }
        // Narrower, the text is wrapped as in a box made that narrow.
        box->resize(box->width() - 30, box->height());
        fresh->resize(box->size());
        fresh->setText(box->text());
        QCOMPARE(rows(box), rows(fresh.get()));
        for (qsizetype i = keys.count(QLatin1Char(';')); i >= 0; --i)
            act(box, QStringLiteral("Ctrl+Z"));
        QCOMPARE(box->text(), text);
    }

    // The view follows the caret down and sideways. An unwrapped line written
    // right to left, cut into pieces, starts at its right end: its first
    // word, selected, shows left of the caret.
    // (Short lines are drawn as QLineEdit draws them: tst_textbox_scripts.)
    void scrolling()
    {
        makeBox(0)->resize(box->width(), 60);
        box->setText(QStringLiteral("short\n").repeated(50) + QString(200, QLatin1Char('x')));
        QScrollBar *down = box->verticalScrollBar(), *across = box->horizontalScrollBar();
        act(box, QStringLiteral("Ctrl+End"));
        QCOMPARE(down->value(), down->maximum());
        QVERIFY(across->value() > 0);
        QVERIFY(box->viewport()->rect().contains(box->characterRect(box->cursor())));
        act(box, QStringLiteral("Home"));
        QCOMPARE(across->value(), 0);
        act(box, QStringLiteral("Shift+End;Delete"));  // the long line gone: nothing to scroll
        QCOMPARE(across->maximum(), 0);
        act(box, QStringLiteral("Ctrl+Home"));
        QCOMPARE(down->value(), 0);
        makeBox(0)->setText(QStringLiteral("\u05e9\u05dc\u05d5\u05dd ").repeated(900));
        box->setCursor({0, 0}, {0, 4});
        const QImage image = box->viewport()->grab().toImage();
        const QRect caret = box->characterRect({0, 0});
        int selected = 0;
        for (int x = std::max(caret.x() - 20, 0); x < caret.x(); ++x)
            selected += image.pixelColor(x, caret.center().y()) == box->palette().color(QPalette::Highlight);
        QVERIFY2(selected > 5, qPrintable(QString::number(selected)));
    }

    void mouse()
    {
        makeBox(10)->setText(QStringLiteral("one two\nthree four"));
        QWidget *view = box->viewport();
        const auto at = [this](qsizetype line, qsizetype column) {
            return box->characterRect({line, column}).topLeft() + QPoint(1, 2);
        };
        QTest::mouseClick(view, Qt::LeftButton, {}, at(1, 2));
        QCOMPARE(box->cursor(), (TextPos{1, 2}));
        QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, at(0, 4));
        QCOMPARE(box->selectedText(), QStringLiteral("two\nth"));
        QTest::mousePress(view, Qt::LeftButton, {}, at(0, 1));
        QMouseEvent drag(QEvent::MouseMove, at(1, 3), view->mapToGlobal(at(1, 3)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &drag);
        QTest::mouseRelease(view, Qt::LeftButton, {}, at(1, 3));
        QCOMPARE(box->selectedText(), QStringLiteral("ne two\nthr"));
        // The selection is the X selection, which the middle button pastes;
        // where there is none (Windows), the middle button changes nothing.
        QTest::mouseClick(view, Qt::MiddleButton, {}, at(1, 10));
        QCOMPARE(box->text(), QGuiApplication::clipboard()->supportsSelection()
                                  ? QStringLiteral("one two\nthree fourne two\nthr")
                                  : QStringLiteral("one two\nthree four"));
    }

    // Dragged with the mouse, the drag's own loop run by the moves and the
    // release sent while it runs: within the box, or to a one-line box,
    // where line ends stay characters; on the way a drop caret shows where
    // the text would land. A move is one undo step in each box.
    void dragOut_data()
    {
        QTest::addColumn<QString>("text");   // "|" a line end, "[]" around the selection dragged
        QTest::addColumn<int>("drop");       // at this column of the box's first line, -1 the one-line box's 1
        QTest::addColumn<QString>("how");    // "Ctrl" held at the drop, or the box dragged from "read-only"
        QTest::addColumn<QString>("after");  // the box, its selection, the one-line box ("xy")
        // clang-format off
        QTest::newRow("within, after") << "a[bc]defg" << 5 << "" << "adebcfg [bc] / xy";
        QTest::newRow("within, before") << "a[bcdefg|h]" << 0 << "" << "bcdefg\nha [bcdefg\nh] / xy";
        QTest::newRow("within, Ctrl: copied") << "a[bc]defg" << 5 << "Ctrl" << "abcdebcfg [bc] / xy";
        QTest::newRow("onto itself") << "a[bcd]efg" << 2 << "" << "abcdefg [bcd] / xy";
        QTest::newRow("to another box") << "a[b|c]d" << -1 << "" << "ad [] / xb\ncy";
        QTest::newRow("to another box, Ctrl: copied") << "a[bc]d" << -1 << "Ctrl" << "abcd [bc] / xbcy";
        QTest::newRow("from a read-only box: copied") << "a[bc]d" << -1 << "read-only" << "abcd [bc] / xbcy";
        // clang-format on
    }

    void dragOut()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows' drag loop follows the real mouse and keys, which a test does not move");
#endif
        QFETCH(QString, text);
        QFETCH(int, drop);
        QFETCH(QString, how);
        QFETCH(QString, after);
        const auto keys = how == "Ctrl" ? Qt::ControlModifier : Qt::NoModifier;
        const qsizetype from = text.indexOf('['), to = text.indexOf(']') - 1;
        makeBox(20)->setText(text.remove('[').remove(']').replace('|', '\n'));
        box->setCursor(box->posAtOffset(to), box->posAtOffset(from));
        box->setReadOnly(how == "read-only");
        OneLineTextBox other(&window);
        other.setGeometry(box->width() + 10, 10, 150, 30);
        other.setText(QStringLiteral("xy"));
        other.show();
        const auto state = [&] { return box->text() + " [" + box->selectedText() + "] / " + other.text(); };
        const QString before = state();
        TextBox *into = drop < 0 ? static_cast<TextBox *>(&other) : box;
        const int x = into->characterRect({0, drop < 0 ? 1 : drop}).x();
        const QPoint press = box->characterRect(box->posAtOffset(from + 1)).topLeft() + QPoint(1, 2);
        const QPoint global = into->viewport()->mapToGlobal(QPoint(x + 1, 8)), local = window.mapFromGlobal(global);
        const QImage unseen = into->viewport()->grab().toImage();
        QImage seen;
        QTest::mousePress(box->viewport(), Qt::LeftButton, {}, press);
        QTimer::singleShot(WaitLimit, &other, [&] { QTest::keyClick(window.windowHandle(), Qt::Key_Escape); });
        QTimer::singleShot(0, &other, [&] {  // runs in the drag's loop
            QMouseEvent move(QEvent::MouseMove, local, global, Qt::NoButton, Qt::LeftButton, keys);
            QApplication::sendEvent(window.windowHandle(), &move);
            seen = into->viewport()->grab().toImage();
            QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, keys, local);
        });
        QTest::mouseMove(box->viewport(), press + QPoint(QApplication::startDragDistance() + 1, 0));
        QCOMPARE(state(), after);
        int darker = 0;  // where the drop caret was, shown only where the text was taken
        for (int y = 0; y < 20; ++y)
            darker += qGray(unseen.pixel(x, y)) - qGray(seen.pixel(x, y));
        QCOMPARE(darker > 0, after != before);
        act(box, QStringLiteral("Ctrl+Z"));
        act(&other, QStringLiteral("Ctrl+Z"));
        QCOMPARE(box->text() + " / " + other.text(), text + " / xy");
    }

    // A drop whose text never came (its program has gone, or gave none) is
    // refused, so that a program waiting for the answer keeps its text;
    // text that came is taken.
    void dropWithoutText()
    {
        for (const QString &dropped : {QString(), QStringLiteral("x")}) {
            makeBox(20)->setText(QStringLiteral("ab"));
            QMimeData mime;
            mime.setText(dropped);
            const QPoint at = box->characterRect({0, 1}).topLeft() + QPoint(1, 5);
            QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
            QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
            QApplication::sendEvent(box->viewport(), &enter);
            QApplication::sendEvent(box->viewport(), &drop);
            QCOMPARE(box->text() + (drop.isAccepted() ? " taken" : " refused"),
                     dropped.isEmpty() ? QStringLiteral("ab refused") : QStringLiteral("axb taken"));
        }
    }

#ifdef DRAG_PEER
    // Text dragged from another program with the mouse, as a user drags an
    // address from a browser: taken where it is dropped, its line end kept,
    // as one undo step, and the program told it moved; a read-only box
    // refuses it, and the program is told so and keeps its text.
    void dropFromAnotherProgram_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("after");  // the box's text; what the program was told
        QTest::newRow("taken") << false << "ax\nyb; dropped 2";
        QTest::newRow("read-only: refused") << true << "ab; dropped 0";
    }

    void dropFromAnotherProgram()
    {
        QFETCH(bool, readOnly);
        QFETCH(QString, after);
        makeBox(20)->setText(QStringLiteral("ab"));
        box->setReadOnly(readOnly);
        DragEvents seen;
        box->viewport()->installEventFilter(&seen);
        DragPeer source({QStringLiteral("give"), QStringLiteral("x\ny")});
        QTRY_VERIFY_WITH_TIMEOUT(source.says("shown"), WaitLimit);
        const QPoint from = source.middle();
        const QPoint to = box->viewport()->mapToGlobal(box->characterRect({0, 1}).topLeft() + QPoint(2, 5));
        // Pressed in the program, and moved only once its drag has begun:
        // it starts where the mouse is then, and a step on the way would
        // come after.
        QVERIFY(handMoves({"mousemove", number(from.x()), number(from.y()), "mousedown", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(source.says("dragging"), WaitLimit);
        // Over the box until it has seen the drag: a move made while the
        // program still waits for the box's answer to the last is not sent.
        for (int wiggle = 0; !seen.over && wiggle < WaitLimit / 100; ++wiggle) {
            QVERIFY(handMoves({"mousemove", number(to.x() + wiggle % 2), number(to.y())}));
            QTest::qWait(100);
        }
        QVERIFY(seen.over);
        QVERIFY(handMoves({"mouseup", "1"}));
        // The program is answered as the mouse is let go; a drop it was
        // told the box would take comes to the box after that.
        QTRY_VERIFY_WITH_TIMEOUT(source.says("dropped") && (seen.drops || source.says("dropped 0")), WaitLimit);
        QCOMPARE(box->text() + "; " + source.line("dropped"), after);
        act(box, QStringLiteral("Ctrl+Z"));
        QCOMPARE(box->text(), QStringLiteral("ab"));
    }

    // The selection, a line end in it, dragged out into another program
    // with the mouse: the program decides. Copied, the box keeps it; moved,
    // it leaves the box as one undo step.
    void dragOutToAnotherProgram_data()
    {
        QTest::addColumn<QString>("takes");
        QTest::addColumn<QString>("after");  // the box's text; what the program took
        QTest::newRow("copied") << "copy" << "ab\ncd; took b|c";
        QTest::newRow("moved") << "move" << "ad; took b|c";
    }

    void dragOutToAnotherProgram()
    {
        QFETCH(QString, takes);
        QFETCH(QString, after);
        makeBox(20)->setText(QStringLiteral("ab\ncd"));
        box->setCursor({1, 1}, {0, 1});
        DragPeer target({QStringLiteral("take"), takes});
        QTRY_VERIFY_WITH_TIMEOUT(target.says("shown"), WaitLimit);
        const QPoint into = target.middle();
        // The rest runs in the drag's own loop, once the program has seen
        // the drag twice: it answers each move before it is sent the next,
        // so by then this side knows the program takes it, and lets go.
        QProcess nudge, releaser;
        bool letGo = false;
        const auto release = [&] {
            if (!std::exchange(letGo, true))
                releaser.start(QStringLiteral("xdotool"), {"mouseup", "1"});
        };
        QObject::connect(&target.program, &QProcess::readyReadStandardOutput, &nudge, [&] {
            target.says("");
            const qsizetype overs = target.said.count("over");
            if (overs == 1 && nudge.state() == QProcess::NotRunning)
                nudge.start(QStringLiteral("xdotool"), {"mousemove", number(into.x() + 3), number(into.y())});
            if (overs > 1)
                release();
        });
        QTimer::singleShot(WaitLimit, &nudge, release);  // a drag never ends on its own
        // On the selection: nearer the end of its first character than its start.
        const QPoint press = box->viewport()->mapToGlobal(box->characterRect({0, 1}).topRight() + QPoint(-1, 5));
        QVERIFY(handMoves({"mousemove", number(press.x()), number(press.y()), "mousedown", "1", "mousemove",
                           number(press.x() + 20), number(press.y()), "mousemove", number(into.x()), number(into.y())}));
        QTRY_VERIFY_WITH_TIMEOUT(target.says("took"), WaitLimit);
        QCOMPARE(box->text() + "; " + target.line("took"), after);
        act(box, QStringLiteral("Ctrl+Z"));
        QCOMPARE(box->text(), QStringLiteral("ab\ncd"));
    }
#endif

    // The context menu does what the keys it names do, and offers only what
    // can be done now; Ctrl+V with nothing to paste keeps the selection.
    void contextMenu()
    {
        makeBox(10)->setText(QStringLiteral("ab"));
        QGuiApplication::clipboard()->clear();
        act(box, QStringLiteral("Shift+End;Ctrl+V"));
        QCOMPARE(box->selectedText(), QStringLiteral("ab"));
        // Right click, then the choice that names `key`: whether it was offered.
        const auto choose = [this](QKeySequence::StandardKey key) {
            QContextMenuEvent event(QContextMenuEvent::Mouse, {5, 5}, box->viewport()->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(box->viewport(), &event);
            const std::unique_ptr<QMenu> shown(box->findChild<QMenu *>());
            const QString named = QLatin1Char('\t') + QKeySequence(key).toString(QKeySequence::NativeText);
            for (QAction *action : shown->actions())
                if (action->text().endsWith(named))
                    return action->trigger(), action->isEnabled();
            return false;
        };
        using Key = QKeySequence;
        QVERIFY(!choose(Key::Paste) && !choose(Key::Undo) && choose(Key::Cut));
        QVERIFY(box->isEmpty());
        QVERIFY(!choose(Key::Cut) && !choose(Key::Copy) && !choose(Key::Delete) && !choose(Key::SelectAll));
        QVERIFY(choose(Key::Paste) && choose(Key::Paste));
        QCOMPARE(box->text(), QStringLiteral("abab"));
        QVERIFY(choose(Key::Undo) && choose(Key::Redo) && !choose(Key::Redo));
        QVERIFY(choose(Key::SelectAll) && choose(Key::Copy) && choose(Key::Delete));
        QVERIFY(box->isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("abab"));
    }

    // The text as a screen reader reads it; a line end read back as "\n" or
    // as asked (the Tags window asks for "\r\n"), no-break spaces kept.
    void accessible()
    {
        makeBox(10)->setText(QStringLiteral("ab\u00a0c\r\nde"));
        QCOMPARE(box->text(QLatin1String("\r\n")), QStringLiteral("ab\u00a0c\r\nde"));
        act(box, QStringLiteral("Down;Right;Shift+Left;Shift+Up"));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
        QVERIFY(iface && iface->textInterface());
        QCOMPARE(iface->role(), QAccessible::EditableText);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Description"));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("ab\u00a0c\nde"));
        QAccessibleTextInterface *text = iface->textInterface();
        QCOMPARE(text->characterCount(), 7);
        QCOMPARE(text->text(1, 6), QStringLiteral("b\u00a0c\nd"));
        QCOMPARE(text->cursorPosition(), 0);
        int start = -1, end = -1;
        QCOMPARE(text->selectionCount(), 1);
        text->selection(0, &start, &end);
        QCOMPARE(QPoint(start, end), QPoint(0, 6));
        text->setCursorPosition(5);
        QCOMPARE(box->cursor().line, 1);
        iface->editableTextInterface()->replaceText(1, 3, QStringLiteral("X"));
        QCOMPARE(box->text(), QStringLiteral("aXc\nde"));
        box->setText(QStringLiteral("\n"));
        QVERIFY(!box->isEmpty());
    }

    // The pieces of text a screen reader asks for at, before and after an
    // offset, the end included (where Qt's default answer never returns).
    void accessibleText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("boundary");
        QTest::addColumn<QString>("found");  // at, before and after: "text@start"
        const int ch = QAccessible::CharBoundary, word = QAccessible::WordBoundary,
                  sentence = QAccessible::SentenceBoundary, line = QAccessible::LineBoundary;
        // clang-format off
        QTest::newRow("word at the end of one letter") << "a" << 1 << word << "a@0|@0|@1";
        QTest::newRow("word at the end") << "one two" << 7 << word << "two@4| @3|@7";
        QTest::newRow("blanks between words") << "one two" << 3 << word << " @3|one@0|two@4";
        QTest::newRow("word with an accent") << "cafe\u0301 noir" << 2 << word << "cafe\u0301@0|@0| @5";
        QTest::newRow("character at the end") << "ab" << 2 << ch << "@2|b@1|@2";
        QTest::newRow("a letter and its accent") << "e\u0301x" << 0 << ch << "e\u0301@0|@0|x@2";
        QTest::newRow("line end as a character") << "ab\ncd" << 2 << ch << "\n@2|b@1|c@3";
        QTest::newRow("flags after an emoji") << "\U0001F600\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA\U0001F1EB" << 8 << ch << "\U0001F1E9\U0001F1EA@6|\U0001F1EB\U0001F1F7@2|\U0001F1EB@10";
        QTest::newRow("sentence at the end") << "One. Two." << 9 << sentence << "Two.@5|One. @0|@9";
        QTest::newRow("wrapped line") << "aaaa bbbb cccc" << 12 << line << "cccc@10|aaaa bbbb @0|@14";
        QTest::newRow("line with its end") << "ab\ncd" << 1 << line << "ab\n@0|@0|cd@3";
        QTest::newRow("paragraph") << "ab cd ef gh ij kl\nmn" << 20 << int(QAccessible::ParagraphBoundary) << "mn@18|ab cd ef gh ij kl\n@0|@20";
        // clang-format on
    }

    void accessibleText()
    {
        QFETCH(QString, text);
        QFETCH(int, offset);
        QFETCH(int, boundary);
        QFETCH(QString, found);
        makeBox(10)->setText(text);
        QAccessibleTextInterface *t = QAccessible::queryAccessibleInterface(box)->textInterface();
        QVERIFY(t);
        // "text@start", or "!" when the end offset disagrees with the text.
        const auto item = [t, offset, type = QAccessible::TextBoundaryType(boundary)](auto ask) {
            int start = -1, end = -1;
            const QString piece = (t->*ask)(offset, type, &start, &end);
            return end - start != piece.size() ? QStringLiteral("!") : piece + '@' + QString::number(start);
        };
        using Text = QAccessibleTextInterface;
        QCOMPARE(item(&Text::textAtOffset) + '|' + item(&Text::textBeforeOffset) + '|' + item(&Text::textAfterOffset), found);
    }

    // The text composed is no change; the caret is drawn inside it, where
    // the input method's window is told it stands. (Commits: tst_textbox_random.)
    void inputMethod()
    {
        makeBox(10)->setText(QStringLiteral("abcd"));
        box->setCursor({0, 1});
        QSignalSpy changes(box, &MultiLineTextBox::textChanged);
        const int before = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        const auto composed = [this](int caretShown) {  // "xyz", the caret after "xy"
            QInputMethodEvent compose(QStringLiteral("xyz"), {{QInputMethodEvent::Cursor, 2, caretShown, QVariant()}});
            QApplication::sendEvent(box, &compose);
            return box->viewport()->grab().toImage();
        };
        const QImage hidden = composed(0), shown = composed(1);
        QCOMPARE(box->text(), QStringLiteral("abcd"));
        QCOMPARE(changes.count(), 0);
        const int told = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        const qreal xy = QFontMetricsF(monospace()).horizontalAdvance(QStringLiteral("xy"));
        QVERIFY2(std::abs(told - before - xy) <= 1, qPrintable(QString::number(told - before)));
        int darker = 0;  // by the caret shown, about where it is told to be
        for (int y = 0; y < shown.height(); ++y)
            for (int x = told - box->viewport()->x() - 1; x <= told - box->viewport()->x() + 1; ++x)
                darker += qGray(hidden.pixel(x, y)) - qGray(shown.pixel(x, y));
        QVERIFY2(darker > 0, qPrintable(QString::number(darker)));
    }

    // Two megabytes of empty lines: set, copied, pasted and undone whole.
    void manyEmptyLines()
    {
        const QString text(2'000'000, QLatin1Char('\n'));
        makeBox(10)->setText(text);
        act(box, QStringLiteral("Ctrl+A;Ctrl+C;Delete"));
        QVERIFY(box->isEmpty());
        act(box, QStringLiteral("=x;Ctrl+V;=y"));
        QCOMPARE(box->lines().lineCount(), 2'000'001);
        QCOMPARE(box->text().size(), text.size() + 2);
        act(box, QStringLiteral("Ctrl+Z;Ctrl+Z"));
        QCOMPARE(box->text(), QStringLiteral("x"));
        act(box, QStringLiteral("Ctrl+Z;Ctrl+Z"));
        QCOMPARE(box->text(), text);
    }

    // A line of 10 MB with no blank but before its last word: set, typed at
    // the end of, read back. A screen reader and an input method are told of
    // a bounded stretch around the place they ask about, never half a pair.
    // The time limit is far above what this takes; only a hang reaches it.
    void longLine_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("unit");  // the line repeats it to 10 MB
        QTest::newRow("wrapped") << 40 << "w";
        QTest::newRow("not wrapped") << 0 << "w";
        QTest::newRow("emoji, wrapped") << 40 << "\U0001F600";
        QTest::newRow("emoji, not wrapped") << 0 << "\U0001F600";
    }

    void longLine()
    {
        QFETCH(int, columns);
        QFETCH(QString, unit);
        QElapsedTimer timer;
        timer.start();
        const QString line = unit.repeated(10'000'000 / unit.size()) + QStringLiteral(" end");
        makeBox(columns)->setText(line);
        QCoreApplication::processEvents();
        act(box, QStringLiteral("Ctrl+End;=s;Home;=y"));
        QCoreApplication::processEvents();
        const QString text = box->text();
        QVERIFY2(timer.elapsed() < 20'000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(text.size(), line.size() + 2);
        // Home went to the start of the last visual line, never inside a pair.
        QVERIFY(text.endsWith(QLatin1String(" ends")));
        const qsizetype home = text.indexOf(QLatin1Char('y'));
        QVERIFY(columns ? home > text.size() - 100 : home == 0);
        QVERIFY(home == 0 || !text[home - 1].isHighSurrogate());
        QAccessibleTextInterface *t = QAccessible::queryAccessibleInterface(box)->textInterface();
        QVERIFY(t);
        int start = -1, end = -1;
        QCOMPARE(t->textAtOffset(int(text.size()), QAccessible::WordBoundary, &start, &end), QStringLiteral("ends"));
        const QString word = t->textAtOffset(5'000'001, QAccessible::WordBoundary, &start, &end);
        QVERIFY(word.size() > 0 && word.size() < 10'000 && start <= 5'000'001 && end > 5'000'001);
        box->setCursor({0, 5'000'001}, {0, 2});  // inside an emoji when wrapped (no "y" before)
        const QString around = box->inputMethodQuery(Qt::ImSurroundingText).toString();
        const int cursor = box->inputMethodQuery(Qt::ImCursorPosition).toInt();
        QVERIFY(around.size() > 0 && around.size() <= 1002 && cursor >= 0 && cursor <= around.size());
        QVERIFY(!around.front().isLowSurrogate() && !around.back().isHighSurrogate());
        QCOMPARE(around, text.mid(box->cursor().column - cursor, around.size()));
        QCOMPARE(box->inputMethodQuery(Qt::ImAnchorPosition).toInt(), 0);
    }
};

QTEST_MAIN(TestTextBox)
#include "tst_textbox.moc"
