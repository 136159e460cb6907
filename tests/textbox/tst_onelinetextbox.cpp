// The one-line text box and the editable drop-down list built on it, as
// Qt's own. On X11, for the popup list and Tab in an active window.

#include "ComboTextBox.h"
#include "KeySteps.h"
#include "OneLineTextBox.h"
#include "TextBoxAccessibility.h"
#include "WaitLimit.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QVBoxLayout>

namespace {

const char *const Entries[] = {"ALL", "NOINDEX", "NOFOLLOW", "NONE"};

// A window that counts the keys its fields leave to it, modifiers aside.
class Window : public QWidget {
public:
    QList<int> keysLeft;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const int key = event->key();
        if (key != Qt::Key_Alt && key != Qt::Key_Control && key != Qt::Key_Shift)
            keysLeft << key;
    }
};

// Where the keys go: the list while it is dropped down, else the focus.
QWidget *keyTarget()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    return QApplication::focusWidget();
}

void press(const QString &keys) { keysteps::act(keyTarget, keys); }

bool focus(QWidget *widget)
{
    widget->setFocus();
    return QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; }, WaitLimit);
}

}  // namespace

class TestOneLineTextBox : public QObject {
    Q_OBJECT

    Window window;
    OneLineTextBox *box = nullptr;
    OneLineTextBox *other = nullptr;
    QLineEdit *reference = nullptr;
    ComboTextBox *combo = nullptr;

private slots:
    void initTestCase()
    {
        installTextBoxAccessibility();
        auto *layout = new QVBoxLayout(&window);
        box = new OneLineTextBox(&window);
        other = new OneLineTextBox(&window);
        reference = new QLineEdit(&window);
        combo = new ComboTextBox(&window);
        combo->setAccessibleName(QStringLiteral("Robot"));
        for (const char *entry : Entries)
            combo->addItem(QLatin1String(entry));
        for (QWidget *field : std::initializer_list<QWidget *>{box, other, reference, combo})
            layout->addWidget(field);
        layout->addStretch();
        window.resize(300, 240);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, WaitLimit));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window, WaitLimit));
    }

    void init()
    {
        combo->hidePopup();
        combo->setCurrentIndex(-1);
        combo->setText(QString());
        box->setText(QString());
        QVERIFY(focus(box));
        window.keysLeft.clear();
    }

    // The same size as Qt's box, and the text where Qt's box puts it.
    void looksLikeQtsBox()
    {
        QCOMPARE(box->sizeHint(), reference->sizeHint());
        QCOMPARE(box->minimumSizeHint(), reference->minimumSizeHint());
        QCOMPARE(box->sizePolicy(), reference->sizePolicy());
        box->setText(QStringLiteral("abc"));
        reference->setText(QStringLiteral("abc"));
        reference->setCursorPosition(1);
        box->setCursorPosition(1);
        // Qt's box reports its caret 5 pixels left of where it draws it.
        const QRect ours = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QRect qts = reference->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QCOMPARE(box->size(), reference->size());
        QCOMPARE(ours.topLeft(), qts.topLeft() + QPoint(5, 0));
        box->setFrame(false);
        reference->setFrame(false);
        QCOMPARE(box->sizeHint(), reference->sizeHint());
        box->setFrame(true);
        reference->setFrame(true);
    }

    // Enter and Esc are the window's; Up and Down move nothing.
    void keysLeftToTheWindow()
    {
        box->setText(QStringLiteral("ab"));
        keysteps::act(box, QStringLiteral("Return;Enter;Esc;Up"));
        QCOMPARE(window.keysLeft,
                 (QList<int>{Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Up}));
        QCOMPARE(box->text(), QStringLiteral("ab"));
    }

    // As in Qt's box: line ends stay in the text, which stays one line.
    void lineEndsPasted()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("a\r\nb\nc"));
        keysteps::act(box, QStringLiteral("Ctrl+V"));
        QCOMPARE(box->text(), QStringLiteral("a\r\nb\nc"));
        QCOMPARE(box->lines().lineCount(), 1);
        QCOMPARE(box->cursorPosition(), 6);
        keysteps::act(box, QStringLiteral("Ctrl+Z"));
        QVERIFY(box->isEmpty());
    }

    // textChanged after every change, textEdited after the user's only;
    // setText forgets undo and signals nothing when nothing changes.
    void signalsAndUndo()
    {
        QSignalSpy changed(box, &OneLineTextBox::textChanged);
        QSignalSpy edited(box, &OneLineTextBox::textEdited);
        box->setText(QStringLiteral("one"));
        QCOMPARE(box->cursorPosition(), 3);
        box->setText(QStringLiteral("one"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(edited.count(), 0);
        keysteps::act(box, QStringLiteral("=xy;Home;Backspace;Shift+End;Ctrl+C;End"));
        QCOMPARE(edited.count(), 2);
        box->insertText(QStringLiteral(" two"));
        QCOMPARE(box->text(), QStringLiteral("onexy two"));
        QCOMPARE(changed.count(), 4);
        QCOMPARE(edited.count(), 2);
        keysteps::act(box, QStringLiteral("Ctrl+Z"));
        QCOMPARE(box->text(), QStringLiteral("onexy"));
        QCOMPARE(edited.count(), 3);
        keysteps::act(box, QStringLiteral("Ctrl+Z;Ctrl+Z"));  // nothing before setText
        QCOMPARE(box->text(), QStringLiteral("one"));
        box->setCursorPosition(1);
        box->selectAll();
        QVERIFY(box->hasSelection());
        QCOMPARE(box->selectedText(), QStringLiteral("one"));
    }

    // Just far enough sideways to show the caret, as Qt's box.
    void scrollsToTheCaret()
    {
        box->setText(QString(300, QLatin1Char('m')));
        QScrollBar *bar = box->horizontalScrollBar();
        QVERIFY(bar->value() > 0);
        keysteps::act(box, QStringLiteral("Home"));
        QCOMPARE(bar->value(), 0);
        box->setCursorPosition(150);  // past the right edge: just far enough
        const int caret = box->characterRect(box->cursor()).left();
        QVERIFY2(caret < box->viewport()->width() && caret > box->viewport()->width() - 10,
                 qPrintable(QString::number(caret)));
    }

    void comboKeys_data()
    {
        QTest::addColumn<int>("start");  // the entry chosen first, -1 for none
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("activated");
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QList<int>>("left");  // keys left to the window
        const QStringList none;
        // clang-format off
        QTest::newRow("Down from none") << -1 << "Down" << "ALL" << 0 << QStringList{"ALL"} << false << QList<int>();
        QTest::newRow("Up from none") << -1 << "Up" << "" << -1 << none << false << QList<int>();
        QTest::newRow("Down at the end") << 3 << "Down" << "NONE" << 3 << none << false << QList<int>();
        QTest::newRow("Up at the start") << 0 << "Up" << "ALL" << 0 << none << false << QList<int>();
        QTest::newRow("Page Down, Page Up") << -1 << "PgDown;PgDown;PgUp" << "ALL" << 0 << QStringList{"ALL", "NOINDEX", "ALL"} << false << QList<int>();
        QTest::newRow("typing keeps the entry") << 1 << "=x;Down" << "NOFOLLOW" << 2 << QStringList{"NOFOLLOW"} << false << QList<int>();
        QTest::newRow("no completion") << -1 << "=NO" << "NO" << -1 << none << false << QList<int>();
        QTest::newRow("Enter is the window's") << -1 << "=a;Return" << "a" << -1 << none << false << QList<int>{Qt::Key_Return};
        QTest::newRow("Alt+Down drops the list") << -1 << "Alt+Down" << "" << -1 << none << true << QList<int>();
        QTest::newRow("F4 drops the list") << 2 << "F4" << "NOFOLLOW" << 2 << none << true << QList<int>();
        // The list opens on the first entry when none was chosen.
        QTest::newRow("in the list, Down, Enter") << -1 << "F4;Down;Return" << "NOINDEX" << 1 << QStringList{"NOINDEX"} << false << QList<int>();
        QTest::newRow("the entry shown, again") << 2 << "Alt+Down;Return" << "NOFOLLOW" << 2 << QStringList{"NOFOLLOW"} << false << QList<int>();
        QTest::newRow("Esc closes the list") << 1 << "F4;Down;Esc" << "NOINDEX" << 1 << none << false << QList<int>();
        QTest::newRow("Alt+Up closes the list") << 1 << "F4;Alt+Up" << "NOINDEX" << 1 << none << false << QList<int>();
        QTest::newRow("F4 closes the list") << 1 << "F4;F4" << "NOINDEX" << 1 << none << false << QList<int>();
        // clang-format on
    }

    // Choosing reports the entry, even the one shown; typing never completes.
    void comboKeys()
    {
        QFETCH(int, start);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(int, index);
        QFETCH(QStringList, activated);
        QFETCH(bool, dropped);
        QFETCH(QList<int>, left);
        QVERIFY(focus(combo));
        combo->setCurrentIndex(start);
        QSignalSpy spy(combo, &ComboTextBox::textActivated);
        press(keys);
        QCOMPARE(combo->text(), text);
        QCOMPARE(combo->currentIndex(), index);
        QStringList seen;
        for (const QList<QVariant> &signal : spy)
            seen << signal.at(0).toString();
        QCOMPARE(seen, activated);
        QTRY_COMPARE_WITH_TIMEOUT(combo->isPopupVisible(), dropped, WaitLimit);
        QCOMPARE(window.keysLeft, left);
        QCOMPARE(combo->count(), 4);
        if (!dropped)
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), combo, WaitLimit);
    }

    // An entry chosen with the same text changes nothing.
    void comboTextChanges()
    {
        QVERIFY(focus(combo));
        QSignalSpy changed(combo, &ComboTextBox::textChanged);
        QSignalSpy edited(combo, &ComboTextBox::textEdited);
        press("=a;Backspace");
        QCOMPARE(changed.size(), 2);
        QCOMPARE(edited.size(), 2);
        press("Down");
        combo->setText(QStringLiteral("NONE"));
        combo->setCurrentIndex(3);
        QCOMPARE(changed.size(), 4);
        QCOMPARE(edited.size(), 2);
    }

    // The arrow drops the list and, clicked again, closes it for good; a
    // click in the text focuses the combo without selecting or dropping.
    void comboMouse()
    {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = true;
        option.subControls = QStyle::SC_All;
        const QRect arrow = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                           QStyle::SC_ComboBoxArrow, combo);
        QVERIFY(focus(reference));
        QTest::mouseClick(combo, Qt::LeftButton, {}, arrow.center());
        QTRY_VERIFY_WITH_TIMEOUT(combo->isPopupVisible(), WaitLimit);
        QListWidget *list = combo->view();
        QVERIFY(list);
        QCOMPARE(list->count(), 4);
        QSignalSpy spy(combo, &ComboTextBox::textActivated);
        const QRect third = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
        QTRY_VERIFY_WITH_TIMEOUT(!combo->isPopupVisible(), WaitLimit);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(combo->text(), "NOFOLLOW");
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), combo, WaitLimit);

        QTest::mouseClick(combo, Qt::LeftButton, {}, arrow.center());
        QTRY_VERIFY_WITH_TIMEOUT(combo->isPopupVisible(), WaitLimit);
        QWidget *popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {},
                          popup->mapFromGlobal(combo->mapToGlobal(arrow.center())));
        QTRY_VERIFY_WITH_TIMEOUT(!combo->isPopupVisible(), WaitLimit);
        QTest::qWait(100);  // a press handed on to the arrow would drop the list again at once
        QVERIFY(!combo->isPopupVisible());

        QVERIFY(focus(reference));
        OneLineTextBox *text = combo->textBox();
        QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, QPoint(3, text->height() / 2));
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), combo, WaitLimit);
        QVERIFY(!text->hasSelection() && !combo->isPopupVisible());
        QCOMPARE(text->cursorPosition(), 0);
    }

    // The input method talks to the combo, the focus widget, for its text.
    void comboInputMethod()
    {
        combo->setText(QStringLiteral("ab"));
        QSignalSpy changed(combo, &ComboTextBox::textChanged);
        QInputMethodEvent preedit(QStringLiteral("zh"), {});
        QApplication::sendEvent(combo, &preedit);
        QCOMPARE(combo->text(), "ab");
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("中"));
        QApplication::sendEvent(combo, &commit);
        QCOMPARE(combo->text(), "ab中");
        QCOMPARE(changed.size(), 1);

        const QWidget *asked = combo;  // as the input method asks
        QVERIFY(asked->inputMethodQuery(Qt::ImEnabled).toBool());
        QCOMPARE(asked->inputMethodQuery(Qt::ImSurroundingText).toString(), "ab中");
        QCOMPARE(asked->inputMethodQuery(Qt::ImCursorPosition).toInt(), 3);
        const QRect caret = asked->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QWidget *text = combo->textBox();
        QCOMPARE(caret, text->inputMethodQuery(Qt::ImCursorRectangle).toRect().translated(text->pos()));
        QVERIFY(combo->rect().contains(caret));
    }

    // Reached by Tab the text is selected whole, in the combo too, which is
    // the stop in the tab order, not its text; left, the selection goes.
    void tabSelectsAll()
    {
        other->setText(QStringLiteral("other text"));
        combo->setText(QStringLiteral("NONE"));
        QTest::keyClick(box, Qt::Key_Tab);
        QTRY_VERIFY_WITH_TIMEOUT(other->hasFocus(), WaitLimit);
        QCOMPARE(other->selectedText(), QStringLiteral("other text"));
        QTest::keyClick(other, Qt::Key_Backtab);
        QTRY_VERIFY_WITH_TIMEOUT(box->hasFocus(), WaitLimit);
        QVERIFY(!other->hasSelection());
        QVERIFY(focus(reference));
        QTest::keyClick(reference, Qt::Key_Tab);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), combo, WaitLimit);
        QCOMPARE(combo->textBox()->selectedText(), "NONE");
        QTest::keyClick(combo, Qt::Key_Tab);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), box, WaitLimit);
    }

    // One line of text, answering at its end too; a combo box that drops.
    void accessible()
    {
        box->setText(QStringLiteral("abc"));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(box);
        QVERIFY(iface && iface->textInterface() && iface->editableTextInterface());
        QVERIFY(!iface->state().multiLine);
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("abc"));
        int start = -1, end = -1;
        QCOMPARE(iface->textInterface()->textAtOffset(3, QAccessible::WordBoundary, &start, &end),
                 QStringLiteral("abc"));
        combo->setText(QStringLiteral("NOINDEX"));
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(combo);
        QVERIFY(face && face->actionInterface());
        QCOMPARE(face->role(), QAccessible::ComboBox);
        QCOMPARE(face->text(QAccessible::Name), "Robot");
        QCOMPARE(face->text(QAccessible::Value), "NOINDEX");
        QVERIFY(face->state().editable && !face->state().expanded);
        face->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        QTRY_VERIFY_WITH_TIMEOUT(combo->isPopupVisible(), WaitLimit);
        QVERIFY(face->state().expanded);
        combo->hidePopup();
        bool textChild = false;
        for (int i = 0; i < face->childCount(); ++i)
            textChild |= face->child(i)->role() == QAccessible::EditableText;
        QVERIFY(textChild);
    }
};

QTEST_MAIN(TestOneLineTextBox)
#include "tst_onelinetextbox.moc"
