#include "FormWindow.h"

#include "DesktopHints.h"
#include "MultiLineTextBox.h"
#include "WindowSystem.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QWindow>

namespace {

Qt::WindowFlags flagsFor(FrameStyle style)
{
    // Fixed size, a title and a close box; no minimize or maximize box.
    const Qt::WindowFlags common = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    if (style == FrameStyle::FixedToolWindow)
        return Qt::Tool | common;
    return Qt::Window | Qt::WindowSystemMenuHint | common;
}

// A screen reader announces each window as a window (a tool window as a
// dialog) named by its caption; a plain widget would be a nameless filler.
QAccessibleInterface *accessibleWindow(const QString &, QObject *object)
{
    auto *window = qobject_cast<QWidget *>(object);
    if (!qobject_cast<FormWindow *>(object) || !window->isWindow())
        return nullptr;
    const bool tool = window->windowType() == Qt::Tool;
    return new QAccessibleWidget(window, tool ? QAccessible::Dialog : QAccessible::Window);
}

void press(QPushButton *button)
{
    if (button && button->isEnabled())
        button->click();
}

}  // namespace

FormWindow::FormWindow(const WindowSpec &table) : client_(new QWidget)
{
    setObjectName(QLatin1String(table.name));
    setWindowTitle(QString::fromUtf8(table.caption));
    setWindowFlags(flagsFor(table.frameStyle));
    setAttribute(Qt::WA_DeleteOnClose);
    // Qt lets tool windows close without ending the run and never keeps the
    // run going for them; here every window counts, so that a help window left
    // open after the main window closes keeps the program alive.
    setAttribute(Qt::WA_QuitOnClose, true);
    // A tool window has neither an icon (none is set) nor a taskbar button.
    if (table.frameStyle == FrameStyle::FixedToolWindow)
        keepOffTaskbar(this);
    static const bool accessibleWindows = (QAccessible::installFactory(accessibleWindow), true);
    Q_UNUSED(accessibleWindows);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    client_->setFixedSize(Twips::toPixels(table.clientWidth), Twips::toPixels(table.clientHeight));
    layout->addWidget(client_);
    buildControls(client_, table);

    for (const ControlSpec &c : table.controls) {
        if (c.flags & DefaultButton)
            defaultButton_ = control<QPushButton>(c.name);
        if (c.flags & CancelButton)
            cancelButton_ = control<QPushButton>(c.name);
    }
    qApp->installEventFilter(this);
}

void FormWindow::placeFrameAt(QPoint topLeft)
{
    if (!canPlaceWindows())
        return;
    // Before the first show, a move places the outer frame rather than the
    // client area, but only while the window keeps its size: the fixed-size
    // layout's own resize at show time would lose that. Sized first, it keeps it.
    layout()->activate();
    move(topLeft);
}

std::optional<QPoint> FormWindow::framePosition() const
{
    if (!canPlaceWindows())
        return std::nullopt;
    return frameGeometry().topLeft();
}

void keepWithOpener(QWidget *window, QWidget *opener)
{
    // A window manager that lets programs place their windows has always
    // treated these windows as separate ones; that stays as it is.
    if (!opener || canPlaceWindows())
        return;
    // The native windows, made now without being shown: the compositor learns
    // the opener as the new window appears.
    window->winId();
    opener->winId();
    window->windowHandle()->setTransientParent(opener->windowHandle());
}

void bringForward(QWidget *window)
{
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

QMenuBar *FormWindow::addMenuBar()
{
    auto *bar = new QMenuBar(this);
    bar->setFont(dialogFont());
    static_cast<QVBoxLayout *>(layout())->setMenuBar(bar);
    return bar;
}

void FormWindow::disableForChild()
{
    focusBeforeDisable_ = QApplication::focusWidget();
    if (focusBeforeDisable_ && focusBeforeDisable_->window() != this)
        focusBeforeDisable_ = nullptr;
    setEnabled(false);
}

void FormWindow::enableAfterChild()
{
    setEnabled(true);
    activateWindow();
    if (focusBeforeDisable_)
        focusBeforeDisable_->setFocus(Qt::OtherFocusReason);
}

void FormWindow::closeEvent(QCloseEvent *event)
{
    // A disabled window takes no input, the window manager's close box included.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
    if (opener_)
        opener_->enableAfterChild();
    emit unloaded();
}

// Keys are looked at on their way to this window's focus widget, before the
// widget itself sees them: a combo box or a text box would otherwise take
// Enter, and a line edit takes Ctrl+A for itself.
bool FormWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    QWidget *focus = QApplication::focusWidget();
    if (watched != focus || focus->window() != this || !isEnabled())
        return false;

    auto *key = static_cast<QKeyEvent *>(event);
    if (type == QEvent::ShortcutOverride) {
        // Refusing the override lets the window's own menu shortcut run.
        if (!isOwnShortcut(key))
            return false;
        event->ignore();
        return true;
    }
    return handleKey(key, focus);
}

bool FormWindow::isOwnShortcut(const QKeyEvent *key) const
{
    const QKeySequence pressed(key->keyCombination());
    const auto actions = findChildren<QAction *>();
    return std::any_of(actions.begin(), actions.end(), [&](const QAction *action) {
        return !action->shortcut().isEmpty() && action->shortcut() == pressed;
    });
}

bool FormWindow::handleKey(QKeyEvent *key, QWidget *focus)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;

    if (enter && modifiers == Qt::NoModifier) {
        if (auto *button = qobject_cast<QPushButton *>(focus)) {
            press(button);
            return true;
        }
        if (!defaultButton_)
            return false;
        press(defaultButton_);
        return true;
    }
    if (enter && modifiers == Qt::ControlModifier) {
        auto *box = qobject_cast<MultiLineTextBox *>(focus);
        if (!box || !defaultButton_)
            return false;
        box->insertText(QStringLiteral("\n"));
        return true;
    }
    if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        press(cancelButton_);
        return true;
    }
    return false;
}
