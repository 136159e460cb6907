// The one-line text box: that it looks and behaves as Qt's one-line box
// where the windows need it to, and that a line of megabytes never hangs it.
// On X11, for focus moved by Tab in an active window.

#include "KeySteps.h"
#include "OneLineTextBox.h"
#include "TextBoxAccessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QVBoxLayout>

namespace {

// A window that counts the keys its fields leave to it.
class Window : public QWidget {
public:
    QList<int> keysLeft;

protected:
    void keyPressEvent(QKeyEvent *event) override { keysLeft << event->key(); }
};

}  // namespace

class TestOneLineTextBox : public QObject {
    Q_OBJECT

    Window window;
    OneLineTextBox *box = nullptr;
    OneLineTextBox *other = nullptr;
    QLineEdit *reference = nullptr;

private slots:
    void initTestCase()
    {
        installTextBoxAccessibility();
        auto *layout = new QVBoxLayout(&window);
        box = new OneLineTextBox(&window);
        other = new OneLineTextBox(&window);
        reference = new QLineEdit(&window);
        for (QWidget *field : {static_cast<QWidget *>(box), static_cast<QWidget *>(other),
                               static_cast<QWidget *>(reference)})
            layout->addWidget(field);
        window.resize(300, 120);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window, 20'000));
    }

    void init()
    {
        box->setText(QString());
        box->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(box->hasFocus(), 10'000);
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

    // Reached by Tab the text is selected whole; left, the selection goes.
    void tabSelectsAll()
    {
        other->setText(QStringLiteral("other text"));
        QTest::keyClick(box, Qt::Key_Tab);
        QTRY_VERIFY_WITH_TIMEOUT(other->hasFocus(), 10'000);
        QCOMPARE(other->selectedText(), QStringLiteral("other text"));
        QTest::keyClick(other, Qt::Key_Backtab);
        QTRY_VERIFY_WITH_TIMEOUT(box->hasFocus(), 10'000);
        QVERIFY(!other->hasSelection());
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

    // A screen reader's one-line text, answering at its end too.
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

    // A line of 10 MB with no blank: set, typed at both ends, read back.
    // The limit is far above the time this takes; only a hang reaches it.
    void longLine()
    {
        QElapsedTimer timer;
        timer.start();
        const QString line(10'000'000, QLatin1Char('w'));
        box->setText(line);
        QCoreApplication::processEvents();
        keysteps::act(box, QStringLiteral("=x;Home;=y"));
        QCoreApplication::processEvents();
        QVERIFY2(timer.elapsed() < 20'000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(box->text().size(), line.size() + 2);
        QVERIFY(box->text().startsWith(QLatin1Char('y')));
        QVERIFY(box->text().endsWith(QLatin1Char('x')));
    }
};

QTEST_MAIN(TestOneLineTextBox)
#include "tst_onelinetextbox.moc"
