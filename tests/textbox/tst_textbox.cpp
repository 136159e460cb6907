// The multi-line text box: how it wraps, edits, undoes, copies, reads back
// and reports to a screen reader, and that a line of megabytes never hangs it.
// On X11, for the X selection that a middle click pastes.

#include "MultiLineTextBox.h"
#include "TextBoxAccessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextCharFormat>
#include <QTest>
#include <QWheelEvent>

namespace {

QFont monospace()
{
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    return font;
}

qreal charWidth()
{
    return QFontMetricsF(monospace()).horizontalAdvance(QLatin1Char('a'));
}

// The rows the box shows, "|" between them.
QString rows(const MultiLineTextBox *box)
{
    QStringList shown;
    TextPos pos;
    for (;;) {
        const QPair<TextPos, TextPos> row = box->rowAround(pos);
        shown << box->lines().text(row.first, row.second);
        if (row.second == box->lines().end())
            break;
        const bool lineEnd = row.second.column == box->lines().line(row.second.line).size();
        pos = lineEnd ? TextPos{row.second.line + 1, 0} : row.second;
    }
    return shown.join(QLatin1Char('|'));
}

// Steps separated by ";": "=text" typed, else keys such as "Shift+Down".
void act(QWidget *box, const QString &steps)
{
    for (const QString &step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (step.startsWith(QLatin1Char('='))) {
            for (const QChar c : step.mid(1))
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, c, Qt::NoModifier);
        } else {
            const QKeyCombination keys = QKeySequence(step)[0];
            QTest::keyClick(box, keys.key(), keys.keyboardModifiers());
        }
    }
}

}  // namespace

class TestTextBox : public QObject {
    Q_OBJECT

    QWidget window;
    MultiLineTextBox *box = nullptr;
    QLineEdit *next = nullptr;

    // A box that shows `columns` characters a line (0: lines do not wrap).
    void makeBox(int columns)
    {
        delete box;
        box = new MultiLineTextBox(
            columns ? MultiLineTextBox::Wrap::AtWords : MultiLineTextBox::Wrap::None, &window);
        box->setFont(monospace());
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setAccessibleName(QStringLiteral("Description"));
        box->resize(200, 100);
        box->show();
        const int frame = box->width() - box->viewport()->width();
        box->resize(frame + 8 + int(std::ceil(charWidth() * (columns ? columns : 20))) + 1, 400);
        box->setFocus();
    }

private slots:
    void initTestCase()
    {
        installTextBoxAccessibility();
        next = new QLineEdit(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    void wrapping_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("at blanks") << 12 << "the quick brown fox jumps"
                                   << "the quick |brown fox |jumps";
        QTest::newRow("a word wider than the box") << 6 << "ab abcdefghijklmnop cd"
                                                   << "ab |abcdef|ghijkl|mnop |cd";
        QTest::newRow("no blank at all") << 4 << "abcdefghij"
                                         << "abcd|efgh|ij";
        QTest::newRow("no-break space holds") << 5 << "aaa\u00a0bbb cc"
                                              << "aaa\u00a0b|bb cc";
        QTest::newRow("blanks hang at the edge") << 4 << "abcd    efg"
                                                 << "abcd    |efg";
        QTest::newRow("lines wrap apart") << 5 << "ab cd ef\n\ngh ij"
                                          << "ab cd |ef||gh ij";
        QTest::newRow("no wrapping") << 0 << "ab cd ef gh ij\nk"
                                     << "ab cd ef gh ij|k";
    }

    void wrapping()
    {
        QFETCH(int, columns);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        makeBox(columns);
        box->setText(text);
        QCOMPARE(rows(box), shown);
    }

    // After each key, the lines re-wrapped from the edit on are the lines a
    // layout of the whole text gives.
    void rewrappingAfterEdits_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("typing in the middle") << "Ctrl+Home;Down;=xx yyyyy z";
        QTest::newRow("backspace lets words up")
            << "Ctrl+Home;Down;Home;Backspace;Backspace;Backspace";
        QTest::newRow("delete at a break") << "Ctrl+Home;End;Delete;Delete;Delete;Delete";
        QTest::newRow("new lines") << "Ctrl+Home;Down;Return;Down;Down;Return;Backspace;Backspace";
    }

    void rewrappingAfterEdits()
    {
        QFETCH(QString, keys);
        makeBox(12);
        box->setText(QStringLiteral("one two three four five six seven eight nine ten\nand more"));
        MultiLineTextBox fresh(MultiLineTextBox::Wrap::AtWords, &window);
        fresh.setFont(box->font());
        fresh.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        fresh.resize(box->size());
        for (const QString &key : keys.split(QLatin1Char(';'))) {
            act(box, key);
            fresh.setText(box->text());
            QCOMPARE(rows(box), rows(&fresh));
        }
    }

    // A line long enough to be laid out in pieces: after edits in its
    // middle it shows the rows a fresh box shows, and reads back whole.
    void rewrappingLongLine_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("typing") << "=xx yy";
        QTest::newRow("deleting") << "Delete;Delete;Delete;Ctrl+Delete";
        QTest::newRow("a new line") << "Return";
        QTest::newRow("pasting a long word") << "Ctrl+V";
    }

    void rewrappingLongLine()
    {
        QFETCH(QString, keys);
        makeBox(12);
        QStringList words;
        for (int i = 0; i < 3000; ++i)
            words << QString::number(i * 7919 % 100000);
        const QString line = words.join(QLatin1Char(' '));
        QGuiApplication::clipboard()->setText(QString(6000, QLatin1Char('w')));
        box->setText(line);
        box->setCursor({0, 9000});
        act(box, keys);
        MultiLineTextBox fresh(MultiLineTextBox::Wrap::AtWords, &window);
        fresh.setFont(box->font());
        fresh.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        fresh.resize(box->size());
        fresh.setText(box->text());
        QCOMPARE(rows(box), rows(&fresh));
        act(box, QStringLiteral("Ctrl+Z;Ctrl+Z;Ctrl+Z"));
        QCOMPARE(box->text(), line);
    }

    void sideways()
    {
        makeBox(0);
        const QString longLine(200, QLatin1Char('x'));
        box->setText(QStringLiteral("short\n") + longLine);
        QScrollBar *bar = box->horizontalScrollBar();
        QVERIFY(bar->maximum() >= int(200 * charWidth()) - box->viewport()->width());
        act(box, QStringLiteral("Ctrl+End"));
        QVERIFY(bar->value() > 0);
        QVERIFY(box->viewport()->rect().contains(box->characterRect(box->cursor()).topLeft()));
        act(box, QStringLiteral("Home"));
        QCOMPARE(bar->value(), 0);
        act(box, QStringLiteral("Shift+End;Delete"));  // the long line gone: nothing to scroll
        QCOMPARE(bar->maximum(), 0);
    }

    void editing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("clipboard");
        const QString pair = QStringLiteral("\U0001F600");
        // clang-format off
        QTest::newRow("type, backspace") << "" << "=abc;Backspace" << "ab" << "";
        QTest::newRow("right at the very end") << "a\nbc" << "Ctrl+End;Right;=X" << "a\nbcX" << "";
        QTest::newRow("ctrl+right at the end") << "a\nbc" << "Ctrl+End;Ctrl+Right;=X" << "a\nbcX" << "";
        QTest::newRow("delete at the very end") << "a\nbc" << "Ctrl+End;Delete;=X" << "a\nbcX" << "";
        QTest::newRow("delete joins lines") << "ab\ncd" << "End;Delete" << "abcd" << "";
        QTest::newRow("backspace joins lines") << "ab\ncd" << "Down;Home;Backspace" << "abcd" << "";
        QTest::newRow("select down, type") << "abc\ndef\nghi" << "Right;Shift+Down;=X" << "aXef\nghi" << "";
        QTest::newRow("select to the end") << "ab\ncd" << "Right;Ctrl+Shift+End;Delete" << "a" << "";
        QTest::newRow("select all, type") << "ab\ncd" << "Ctrl+A;=z" << "z" << "";
        QTest::newRow("shift+left, shift+up") << "abc\ndef" << "Ctrl+End;Shift+Left;Shift+Up;Delete" << "ab" << "";
        QTest::newRow("down keeps the column") << "aaaa bbbb cccc dddd" << "Right;Right;Down;=X" << "aaaa bbbb ccXcc dddd" << "";
        QTest::newRow("up from a wrapped line") << "aaaa bbbb cccc dddd" << "Ctrl+End;Up;=X" << "aaaa bbbbX cccc dddd" << "";
        QTest::newRow("end stays on its line") << "aaaa bbbb cccc dddd" << "End;=X" << "aaaa bbbbX cccc dddd" << "";
        QTest::newRow("end of a broken word, twice") << "abcdefghijklmnopqrstuvwxyz" << "End;End;=X" << "abcdefghiXjklmnopqrstuvwxyz" << "";
        QTest::newRow("end of a broken word, shift+home") << "abcdefghijklmnopqrstuvwxyz" << "End;Shift+Home;Delete" << "jklmnopqrstuvwxyz" << "";
        QTest::newRow("home of a wrapped line") << "aaaa bbbb cccc dddd" << "Ctrl+End;Home;=X" << "aaaa bbbb Xcccc dddd" << "";
        QTest::newRow("delete words") << "one two three" << "Ctrl+Right;Ctrl+Delete;Ctrl+End;Ctrl+Backspace" << "one " << "";
        QTest::newRow("words") << "one two three" << "Ctrl+Right;Ctrl+Right;=X;Ctrl+Left;Ctrl+Left;=Y" << "one Ytwo Xthree" << "";
        QTest::newRow("left over a pair") << "a" + pair + "b" << "End;Left;Left;Backspace" << pair + "b" << "";
        QTest::newRow("left over a lone low half") << QString("a") + QChar(0xDE00) + "c" << "End;Left;Left;=b" << QString("ab") + QChar(0xDE00) + "c" << "";
        QTest::newRow("backspace a pair") << "a" + pair << "End;Backspace" << "a" << "";
        QTest::newRow("enter, shift+enter") << "abc" << "Right;Return;Right;Shift+Return" << "a\nb\nc" << "";
        QTest::newRow("tab is no character") << "ab" << "Tab" << "ab" << "";
        QTest::newRow("page down") << "1\n2\n3\n4\n5\n6\n7\n8\n9" << "PgDown;PgDown;=X" << "1\n2\n3\n4\n5\n6\n7\n8\nX9" << "";
        QTest::newRow("copy, paste") << "a\u00a0b\nc" << "Ctrl+A;Ctrl+C;End;Ctrl+V" << "a\u00a0b\nca\u00a0b\nc" << "a\u00a0b\nc";
        QTest::newRow("cut, paste") << "ab\ncd" << "Shift+Down;Ctrl+X;End;Ctrl+V" << "cdab\n" << "ab\n";
        QTest::newRow("undo typing") << "" << "=abc;Ctrl+Z" << "" << "";
        QTest::newRow("undo after a move") << "" << "=ab;Left;=c;Ctrl+Z" << "ab" << "";
        QTest::newRow("undo backspaces") << "abcd" << "End;Backspace;Backspace;Ctrl+Z" << "abcd" << "";
        QTest::newRow("undo deletes") << "abcd" << "Delete;Delete;Ctrl+Z" << "abcd" << "";
        QTest::newRow("undo, redo") << "" << "=ab;Ctrl+Z;Ctrl+Y" << "ab" << "";
        QTest::newRow("undo, ctrl+shift+z") << "x" << "=ab;Ctrl+Z;Ctrl+Shift+Z" << "abx" << "";
        QTest::newRow("undo a paste") << "ab" << "Ctrl+A;Ctrl+C;End;Ctrl+V;=c;Ctrl+Z;Ctrl+Z" << "ab" << "ab";
        QTest::newRow("undo across lines") << "a\nb" << "Ctrl+A;Delete;Ctrl+Z;=c" << "a\nbc" << "";
        QTest::newRow("an edit ends redo") << "" << "=ab;Ctrl+Z;=c;Ctrl+Y" << "c" << "";
        // clang-format on
    }

    // Keys as typed into a box ten characters wide, from the start of the text.
    void editing()
    {
        QFETCH(QString, text);
        QFETCH(QString, keys);
        QFETCH(QString, result);
        QFETCH(QString, clipboard);
        makeBox(10);
        box->resize(box->width(), 4 * box->characterRect({}).height() + 8 + box->height() -
                                      box->viewport()->height());
        QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
        box->setText(text);
        act(box, keys);
        QCOMPARE(box->text(), result);
        if (!clipboard.isEmpty())
            QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    }

    void pasteUndoRedo_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("result");
        QTest::newRow("CRLF lines") << "x\r\ny\r\n"
                                    << "ab\nx\ny\ncd";
        QTest::newRow("a line end alone") << "\n"
                                          << "ab\n\ncd";
        QTest::newRow("separators") << "1\u20292\u20283"
                                    << "ab\n1\n2\n3cd";
        QTest::newRow("no-break spaces") << "\u00a0 \u00a0"
                                         << "ab\n\u00a0 \u00a0cd";
    }

    // A paste over a selection across lines, undone and redone, gives back
    // each text exactly.
    void pasteUndoRedo()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, result);
        makeBox(10);
        const QString text = QStringLiteral("ab\nzz\nzzcd");
        box->setText(text);
        QGuiApplication::clipboard()->setText(pasted);
        act(box, QStringLiteral("Down;Home;Shift+Down;Shift+Right;Shift+Right;Ctrl+V"));
        QCOMPARE(box->text(), result);
        act(box, QStringLiteral("Ctrl+Z"));
        QCOMPARE(box->text(), text);
        act(box, QStringLiteral("Ctrl+Y"));
        QCOMPARE(box->text(), result);
    }

    void scrolling()
    {
        makeBox(10);
        box->resize(box->width(), 60);
        QStringList numbers;
        for (int i = 0; i < 50; ++i)
            numbers << QString::number(i);
        box->setText(numbers.join(QLatin1Char('\n')));
        QScrollBar *bar = box->verticalScrollBar();
        act(box, QStringLiteral("Ctrl+End"));
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(box->viewport()->rect().contains(box->characterRect(box->cursor())));
        act(box, QStringLiteral("Ctrl+Home"));
        QCOMPARE(bar->value(), 0);
        QWheelEvent wheel(QPointF(5, 5), box->viewport()->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box->viewport(), &wheel);
        QVERIFY(bar->value() > 0);
    }

    // What an input method commits replaces the selection, as typing does.
    void inputMethod()
    {
        makeBox(10);
        box->setText(QStringLiteral("abc"));
        act(box, QStringLiteral("Right;Shift+Right"));
        QInputMethodEvent commit(QString(), {});
        commit.setCommitString(QStringLiteral("\u00e9\u00e8"));
        QApplication::sendEvent(box, &commit);
        QCOMPARE(box->text(), QStringLiteral("a\u00e9\u00e8c"));
        QCOMPARE(box->cursor().column, 3);
    }

    void mouse()
    {
        makeBox(10);
        box->setText(QStringLiteral("one two\nthree four"));
        QWidget *view = box->viewport();
        const auto at = [this](qsizetype line, qsizetype column) {
            return box->characterRect({line, column}).topLeft() + QPoint(1, 2);
        };
        QTest::mouseClick(view, Qt::LeftButton, {}, at(1, 2));
        QCOMPARE(box->cursor().line, 1);
        QCOMPARE(box->cursor().column, 2);
        QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, at(0, 4));
        QCOMPARE(box->selectedText(), QStringLiteral("two\nth"));
        QTest::mouseDClick(view, Qt::LeftButton, {}, at(1, 7));
        QCOMPARE(box->selectedText(), QStringLiteral("four"));
        QTest::mousePress(view, Qt::LeftButton, {}, at(0, 1));
        QMouseEvent drag(QEvent::MouseMove, at(1, 3), view->mapToGlobal(at(1, 3)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &drag);
        QTest::mouseRelease(view, Qt::LeftButton, {}, at(1, 3));
        QCOMPARE(box->selectedText(), QStringLiteral("ne two\nthr"));
        // The selection is the X selection, which the middle button pastes.
        QTest::mouseClick(view, Qt::MiddleButton, {}, at(1, 10));
        QCOMPARE(box->text(), QStringLiteral("one two\nthree fourne two\nthr"));
    }

    // The context menu offers what can be done now, and does it.
    void contextMenu()
    {
        makeBox(10);
        box->setText(QStringLiteral("ab"));
        QGuiApplication::clipboard()->clear();
        const auto menu = [this](const char *choose, const QString &offered) {
            const QPoint at(5, 5);
            QContextMenuEvent event(QContextMenuEvent::Mouse, at, box->viewport()->mapToGlobal(at));
            QApplication::sendEvent(box->viewport(), &event);
            QMenu *shown = box->findChild<QMenu *>();
            QStringList enabled;
            QAction *chosen = nullptr;
            for (QAction *action : shown->actions()) {
                const QString text = action->text().section(QLatin1Char('\t'), 0, 0);
                if (action->isEnabled() && !action->isSeparator())
                    enabled << text;
                if (text == QLatin1String(choose))
                    chosen = action;
            }
            chosen->trigger();
            delete shown;
            return enabled.join(QLatin1Char(',')) == offered;
        };
        QVERIFY(menu("Select All", QStringLiteral("Select All")));
        QVERIFY(menu("Cu&t", QStringLiteral("Cu&t,&Copy,Delete,Select All")));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ab"));
        QVERIFY(menu("&Undo", QStringLiteral("&Undo,&Paste")));
        QCOMPARE(box->text(), QStringLiteral("ab"));
    }

    void exactText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lf");
        QTest::addColumn<QString>("crlf");
        QTest::newRow("no-break spaces, CRLF") << "a\u00a0b\r\n\u00a0"
                                               << "a\u00a0b\n\u00a0"
                                               << "a\u00a0b\r\n\u00a0";
        QTest::newRow("CR, LF, separators") << "a\rb\nc\u2028d\u2029"
                                            << "a\nb\nc\nd\n"
                                            << "a\r\nb\r\nc\r\nd\r\n";
        QTest::newRow("empty lines") << "\n\n"
                                     << "\n\n"
                                     << "\r\n\r\n";
    }

    void exactText()
    {
        QFETCH(QString, text);
        QFETCH(QString, lf);
        QFETCH(QString, crlf);
        makeBox(10);
        box->setText(text);
        QCOMPARE(box->text(), lf);
        QCOMPARE(box->text(QLatin1String("\r\n")), crlf);
        QVERIFY(!box->isEmpty());
    }

    void textChanged_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("changes");
        QTest::addColumn<bool>("empty");
        QTest::newRow("typed") << "=ab" << 2 << false;
        QTest::newRow("pasted") << "Ctrl+V" << 1 << false;
        QTest::newRow("cut") << "Ctrl+A;Ctrl+X" << 1 << true;
        QTest::newRow("deleted") << "Delete" << 1 << true;
        QTest::newRow("backspace at the start") << "Backspace" << 0 << false;
        QTest::newRow("undone, redone") << "Delete;Ctrl+Z;Ctrl+Y" << 3 << true;
        QTest::newRow("moved, selected, copied") << "Right;Shift+End;Ctrl+C" << 0 << false;
        QTest::newRow("new line") << "Return" << 1 << false;
    }

    // Every change signals textChanged; a change the user made also
    // textEdited; setting the text a program sets signals only a change.
    void textChanged()
    {
        QFETCH(QString, keys);
        QFETCH(int, changes);
        QFETCH(bool, empty);
        makeBox(10);
        box->setText(QStringLiteral("x"));
        QGuiApplication::clipboard()->setText(QStringLiteral("y"));
        QSignalSpy spy(box, &MultiLineTextBox::textChanged);
        QSignalSpy edits(box, &MultiLineTextBox::textEdited);
        act(box, keys);
        QCOMPARE(spy.count(), changes);
        QCOMPARE(edits.count(), changes);
        QCOMPARE(box->isEmpty(), empty);
        box->setText(QString());
        QCOMPARE(spy.count(), changes + (empty ? 0 : 1));
        QCOMPARE(edits.count(), changes);
        QVERIFY(box->isEmpty());
        box->insertText(QStringLiteral("z"));
        QCOMPARE(spy.count(), changes + (empty ? 1 : 2));
        QCOMPARE(edits.count(), changes);
    }

    void accessible()
    {
        makeBox(10);
        box->setText(QStringLiteral("ab\u00a0c\nde"));
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
    }

    // The character, word, sentence, line and paragraph a screen reader
    // asks for at an offset, before it and after it; the end of the text
    // included (where Qt's default answer never returns).
    void accessibleText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("boundary");
        QTest::addColumn<QString>("at");      // "text@start"
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        const int ch = QAccessible::CharBoundary, word = QAccessible::WordBoundary,
                  sentence = QAccessible::SentenceBoundary, line = QAccessible::LineBoundary,
                  paragraph = QAccessible::ParagraphBoundary;
        // clang-format off
        QTest::newRow("word at the end of one letter") << "a" << 1 << word << "a@0" << "@0" << "@1";
        QTest::newRow("word at the end") << "one two" << 7 << word << "two@4" << " @3" << "@7";
        QTest::newRow("blanks between words") << "one two" << 3 << word << " @3" << "one@0" << "two@4";
        QTest::newRow("word with an accent") << "cafe\u0301 noir" << 2 << word << "cafe\u0301@0" << "@0" << " @5";
        QTest::newRow("character at the end") << "ab" << 2 << ch << "@2" << "b@1" << "@2";
        QTest::newRow("a letter and its accent") << "e\u0301x" << 0 << ch << "e\u0301@0" << "@0" << "x@2";
        QTest::newRow("line end as a character") << "ab\ncd" << 2 << ch << "\n@2" << "b@1" << "c@3";
        QTest::newRow("sentence") << "One. Two." << 6 << sentence << "Two.@5" << "One. @0" << "@9";
        QTest::newRow("sentence at the end") << "One. Two." << 9 << sentence << "Two.@5" << "One. @0" << "@9";
        QTest::newRow("wrapped line") << "aaaa bbbb cccc" << 12 << line << "cccc@10" << "aaaa bbbb @0" << "@14";
        QTest::newRow("line with its end") << "ab\ncd" << 1 << line << "ab\n@0" << "@0" << "cd@3";
        QTest::newRow("paragraph") << "ab cd ef gh ij kl\nmn" << 20 << paragraph << "mn@18" << "ab cd ef gh ij kl\n@0" << "@20";
        // clang-format on
    }

    void accessibleText()
    {
        QFETCH(QString, text);
        QFETCH(int, offset);
        QFETCH(int, boundary);
        QFETCH(QString, at);
        QFETCH(QString, before);
        QFETCH(QString, after);
        makeBox(10);
        box->setText(text);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
        QVERIFY(iface && iface->textInterface());
        QAccessibleTextInterface *t = iface->textInterface();
        const auto type = QAccessible::TextBoundaryType(boundary);
        int start = -1, end = -1;
        // "text@start", or "!" when the end offset disagrees with the text.
        const auto item = [&](const QString &found) {
            if (end - start != found.size())
                return QStringLiteral("!");
            return found + QLatin1Char('@') + QString::number(start);
        };
        QCOMPARE(item(t->textAtOffset(offset, type, &start, &end)), at);
        QCOMPARE(item(t->textBeforeOffset(offset, type, &start, &end)), before);
        QCOMPARE(item(t->textAfterOffset(offset, type, &start, &end)), after);
    }

    // In a line of megabytes the word at the end is found in a bounded
    // stretch of it, however long the word.
    void accessibleTextOfALongLine()
    {
        makeBox(10);
        box->setText(QString(1'000'000, QLatin1Char('w')) + QStringLiteral(" end"));
        QAccessibleTextInterface *t = QAccessible::queryAccessibleInterface(box)->textInterface();
        int start = -1, end = -1;
        QCOMPARE(t->textAtOffset(1'000'004, QAccessible::WordBoundary, &start, &end),
                 QStringLiteral("end"));
        const QString word = t->textAtOffset(500'000, QAccessible::WordBoundary, &start, &end);
        QVERIFY(word.size() > 0 && word.size() < 10'000);
        QVERIFY(start <= 500'000 && end > 500'000);
    }

    // Pieces of typing that make one undo step are undone as they were kept:
    // "\r" and then "\n" are two line ends, not the one "\r\n" would be.
    void undoOfLineEndsTypedApart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("commits");
        QTest::addColumn<QString>("typed");
        QTest::newRow("CR, then LF") << "" << 0 << QStringList{"\r", "\n"} << "\n\n";
        QTest::newRow("inside a line") << "12" << 1 << QStringList{"x\r", "\nabc"} << "1x\n\nabc2";
    }

    void undoOfLineEndsTypedApart()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        QFETCH(QStringList, commits);
        QFETCH(QString, typed);
        makeBox(10);
        box->setText(text);
        box->setCursor({0, column});
        for (const QString &commit : commits) {
            QInputMethodEvent event(QString(), {});
            event.setCommitString(commit);
            QApplication::sendEvent(box, &event);
        }
        QCOMPARE(box->text(), typed);
        act(box, QStringLiteral("Ctrl+Z"));
        QCOMPARE(box->text(), text);
        act(box, QStringLiteral("Ctrl+Y"));
        QCOMPARE(box->text(), typed);
    }

    // A commit replaces the range it names around the caret; an empty one
    // that names a range deletes it.
    void inputMethodReplacement_data()
    {
        QTest::addColumn<QString>("commit");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("cursor");
        QTest::newRow("two before the caret") << "XY" << -2 << 2 << "abXYe" << 4;
        QTest::newRow("delete before") << "" << -1 << 1 << "abce" << 3;
        QTest::newRow("delete after") << "" << 0 << 1 << "abcd" << 4;
        QTest::newRow("insert after") << "X" << 1 << 0 << "abcdeX" << 6;
    }

    void inputMethodReplacement()
    {
        QFETCH(QString, commit);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, result);
        QFETCH(int, cursor);
        makeBox(10);
        box->setText(QStringLiteral("abcde"));
        box->setCursor({0, 4});
        QInputMethodEvent event(QString(), {});
        event.setCommitString(commit, start, length);
        QApplication::sendEvent(box, &event);
        QCOMPARE(box->text(), result);
        QCOMPARE(box->cursor().column, cursor);
    }

    // The text being composed is drawn at the caret, with the caret inside it
    // where the method puts it, but it is not text: no change, no undo step.
    void preedit()
    {
        makeBox(10);
        box->setText(QStringLiteral("ab"));
        box->setCursor({0, 1});
        QSignalSpy changes(box, &MultiLineTextBox::textChanged);
        const QImage before = box->viewport()->grab().toImage();
        const int caretBefore = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        QInputMethodEvent compose(QStringLiteral("xyz"),
                                  {{QInputMethodEvent::TextFormat, 0, 3, underline},
                                   {QInputMethodEvent::Cursor, 2, 1, QVariant()}});
        QApplication::sendEvent(box, &compose);
        QCOMPARE(box->text(), QStringLiteral("ab"));
        QCOMPARE(changes.count(), 0);
        QVERIFY(box->viewport()->grab().toImage() != before);
        const int caretInside = box->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        QVERIFY2(caretInside > caretBefore + 10, qPrintable(QString::number(caretInside)));
        QInputMethodEvent commit(QString(), {});
        commit.setCommitString(QStringLiteral("XYZ"));
        QApplication::sendEvent(box, &commit);
        QCOMPARE(box->text(), QStringLiteral("aXYZb"));
        QCOMPARE(changes.count(), 1);
        act(box, QStringLiteral("Ctrl+Z"));
        QCOMPARE(box->text(), QStringLiteral("ab"));
    }

    // What an input method is told of the text: a bounded stretch around the
    // caret, never half a surrogate pair, the caret and anchor within it.
    void surroundingText_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("start") << 0;
        QTest::newRow("middle, on an odd unit") << 5001;
        QTest::newRow("middle, on an even unit") << 5000;
        QTest::newRow("end") << 10000;
    }

    void surroundingText()
    {
        QFETCH(int, column);
        makeBox(10);
        const QString line = QStringLiteral("\U0001F600").repeated(5000);
        box->setText(line);
        box->setCursor({0, column}, {0, 2});
        const QString around = box->inputMethodQuery(Qt::ImSurroundingText).toString();
        const int cursor = box->inputMethodQuery(Qt::ImCursorPosition).toInt();
        const int anchor = box->inputMethodQuery(Qt::ImAnchorPosition).toInt();
        QVERIFY(around.size() > 0 && around.size() <= 1002);
        QVERIFY(!around.front().isLowSurrogate());
        QVERIFY(!around.back().isHighSurrogate());
        QVERIFY(cursor >= 0 && cursor <= around.size() && anchor >= 0 && anchor <= around.size());
        const qsizetype from = box->cursor().column - cursor;
        QCOMPARE(around, line.mid(from, around.size()));
        QCOMPARE(anchor, int(std::clamp<qsizetype>(2 - from, 0, around.size())));
    }

    // Moves, Backspace and Delete as in Qt's own boxes: Left and Right over
    // a character as a reader sees it, Backspace one stored character.
    void characters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("result");
        const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        const QString flag = QStringLiteral("\U0001F1EB\U0001F1F7");
        const QString thumb = QStringLiteral("\U0001F44D\U0001F3FD");
        // clang-format off
        QTest::newRow("accent stays on its letter") << "e\u0301" << "Right;=1" << "e\u03011";
        QTest::newRow("family emoji is one step") << family << "Right;=1" << family + "1";
        QTest::newRow("flag is one step") << flag + flag << "Right;=1" << flag + "1" + flag;
        QTest::newRow("skin tone stays") << thumb << "Right;=1" << thumb + "1";
        QTest::newRow("left over an accent") << "ae\u0301" << "End;Left;=1" << "a1e\u0301";
        QTest::newRow("backspace takes the accent") << "e\u0301x" << "Right;Backspace" << "ex";
        QTest::newRow("delete takes the letter whole") << "e\u0301x" << "Delete" << "x";
        QTest::newRow("right moves back on Arabic") << "\u0633\u0644\u0627\u0645" << "End;Right;Right;=x" << "\u0633\u0644x\u0627\u0645";
        QTest::newRow("left moves on in Arabic") << "\u0633\u0644\u0627\u0645" << "Left;=x" << "\u0633x\u0644\u0627\u0645";
        QTest::newRow("words in Arabic") << "\u0633\u0644\u0627\u0645 \u0639\u0644\u064a\u0643\u0645" << "Ctrl+Left;=x" << "\u0633\u0644\u0627\u0645 x\u0639\u0644\u064a\u0643\u0645";
        QTest::newRow("typed joiner is kept") << "a" << "End;=\u200D" << "a\u200D";
        // clang-format on
    }

    void characters()
    {
        QFETCH(QString, text);
        QFETCH(QString, keys);
        QFETCH(QString, result);
        makeBox(20);
        box->setText(text);
        act(box, keys);
        QCOMPARE(box->text(), result);
    }

    // A double click selects the word as Qt's own boxes do; on a line
    // written right to left the first word stands at the right.
    void doubleClickWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("column");  // the character clicked
        QTest::addColumn<QString>("selected");
        QTest::newRow("combining accent") << "un cafe\u0301 noir" << 4 << "cafe\u0301";
        QTest::newRow("Arabic, the first word") << "\u0627\u0644\u0633\u0644\u0627\u0645 \u0639\u0644\u064a\u0643\u0645" << 2 << "\u0627\u0644\u0633\u0644\u0627\u0645";
        QTest::newRow("Arabic, the second word") << "\u0627\u0644\u0633\u0644\u0627\u0645 \u0639\u0644\u064a\u0643\u0645" << 9 << "\u0639\u0644\u064a\u0643\u0645";
    }

    void doubleClickWords()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        QFETCH(QString, selected);
        makeBox(30);
        box->setText(text);
        const QRect r = box->characterRect({0, column});
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(box->selectedText(), selected);
    }

    // Text as Qt draws it: a line written right to left stands at the right,
    // tabs stop every 80 pixels, pairs of letters are kerned.
    void placement()
    {
        makeBox(30);
        box->setText(QStringLiteral("\u0627\u0644\u0633\u0644\u0627\u0645\nab\tc"));
        const int right = box->viewport()->width() - 4;
        QVERIFY2(std::abs(box->characterRect({0, 0}).right() - right) <= 2,
                 qPrintable(QString::number(box->characterRect({0, 0}).right())));
        QVERIFY(box->characterRect({0, 6}).x() < box->characterRect({0, 0}).x());
        QCOMPARE(box->characterRect({1, 3}).x() - box->characterRect({1, 0}).x(), 80);
        QFont sans(QStringLiteral("DejaVu Sans"));
        sans.setPixelSize(20);
        box->setFont(sans);
        box->setText(QStringLiteral("AVAVAVAVAV"));
        const int drawn = box->characterRect({0, 10}).x() - box->characterRect({0, 0}).x();
        const qreal kerned = QFontMetricsF(sans).horizontalAdvance(QStringLiteral("AVAVAVAVAV"));
        QFont unkerned = sans;
        unkerned.setKerning(false);
        QVERIFY(QFontMetricsF(unkerned).horizontalAdvance(QStringLiteral("AVAVAVAVAV")) > kerned + 3);
        QVERIFY2(std::abs(drawn - kerned) <= 1, qPrintable(QString::number(drawn)));
    }

    // Two megabytes of empty lines: set, copied, pasted and undone whole.
    void manyEmptyLines()
    {
        makeBox(10);
        const QString text(2'000'000, QLatin1Char('\n'));
        box->setText(text);
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

    // A line of 10 MB with no blank: set, typed at the end of, read back.
    // The limit is far above the time this takes; only a hang reaches it.
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
        makeBox(columns);
        QElapsedTimer timer;
        timer.start();
        const QString line = unit.repeated(10'000'000 / unit.size());
        box->setText(line);
        QCoreApplication::processEvents();
        act(box, QStringLiteral("Ctrl+End;=x;Home;=y"));
        QCoreApplication::processEvents();
        const QString text = box->text();
        QVERIFY2(timer.elapsed() < 20'000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(text.size(), line.size() + 2);
        // Home went to the start of the last visual line.
        QVERIFY(text.endsWith(QLatin1Char('x')));
        const qsizetype home = text.indexOf(QLatin1Char('y'));
        QVERIFY(columns ? home > text.size() - 100 : home == 0);
        QVERIFY(home == 0 || !text[home - 1].isHighSurrogate());  // never inside a pair
    }
};

QTEST_MAIN(TestTextBox)
#include "tst_textbox.moc"
