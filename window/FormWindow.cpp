#include "FormWindow.h"

#include "DesktopHints.h"
#include "WindowSystem.h"

#include <QApplication>
#include <QCloseEvent>
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

void releaseKeptWindows(QWidget *opener)
{
    const QWindow *handle = opener->windowHandle();
    if (!handle)
        return;
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        if (window->transientParent() == handle)
            window->setTransientParent(nullptr);
    }
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
    releaseKeptWindows(this);
    if (opener_)
        opener_->enableAfterChild();
    emit unloaded();
}
