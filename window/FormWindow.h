#pragma once
// What every window of the program shares:
// - it is built from its layout table (LayoutTable.h) at a fixed client size;
// - it names a default button (Enter) and a cancel button (Esc), which the
//   program's one key filter (KeyRouter.h) presses;
// - closing it, however it is asked, runs its unload handler, unless the
//   window is disabled, in which case it stays;
// - a window that opens a child window with openChild disables itself and is
//   enabled again when the child closes, with the focus back where it was;
// - each window is one named instance (showWindow / loadedWindow below),
//   created and loaded when it is shown and discarded when it closes.

#include "LayoutTable.h"

#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <optional>

class QMenuBar;

template <class W>
W *showWindow(QWidget *opener = nullptr);

class FormWindow : public QWidget {
    Q_OBJECT

public:
    explicit FormWindow(const WindowSpec &table);

    template <class T>
    T *control(const char *name) const
    {
        return findChild<T *>(QLatin1String(name));
    }

    // Shows W (see showWindow) with this window disabled until W closes.
    template <class W>
    W *openChild()
    {
        disableForChild();
        W *child = showWindow<W>(this);
        static_cast<FormWindow *>(child)->opener_ = this;
        return child;
    }

    // The load handler: runs once, after the window is built and before it is
    // first shown.
    virtual void Form_Load() {}

    // The buttons that Enter and Esc press; nullptr where the window has none.
    QPushButton *defaultButton() const { return defaultButton_; }
    QPushButton *cancelButton() const { return cancelButton_; }

    // Before the first show: puts the outer corner of the window's frame, title
    // bar included, at the point, whatever the frame's size. Where the window
    // system places every window itself (see canPlaceWindows), it does nothing.
    void placeFrameAt(QPoint topLeft);

    // The outer corner of the window's frame, title bar included; none where
    // the window system does not tell (a native Wayland client, for which Qt
    // reports the offset of the title bar it draws itself).
    std::optional<QPoint> framePosition() const;

signals:
    void unloaded();

protected:
    // The unload handler: runs when the window closes, however it is closed.
    virtual void Form_Unload() {}

    QMenuBar *addMenuBar();

    // Runs the handler when the named button is pressed.
    template <class W>
    void onClick(const char *buttonName, void (W::*handler)())
    {
        connect(control<QPushButton>(buttonName), &QPushButton::clicked, static_cast<W *>(this),
                handler);
    }

    void closeEvent(QCloseEvent *event) override;

private:
    void disableForChild();
    void enableAfterChild();

    QWidget *client_;
    QPushButton *defaultButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QPointer<QWidget> focusBeforeDisable_;
    QPointer<FormWindow> opener_;  // disabled while this window is open
};

template <class W>
struct NamedInstance {
    static inline QPointer<W> window;
};

// The window if it is loaded, else nullptr.
template <class W>
W *loadedWindow()
{
    return NamedInstance<W>::window.data();
}

// Brings a shown window forward and makes it the active window, restoring it
// first if the user minimized it.
void bringForward(QWidget *window);

// Before a window opened from another is first shown: where the compositor
// places every window (a native Wayland client), asks it to keep the window
// with its opener, above it and placed by it. Elsewhere it does nothing.
void keepWithOpener(QWidget *window, QWidget *opener);

// As the opener closes: the windows kept with it stand on their own again. A
// help window may outlive the window that opened it, and Qt closes the
// windows kept with a window that goes.
void releaseKeptWindows(QWidget *opener);

// Shows the window, creating and loading it first when it is not loaded; a
// window already open is only brought forward.
template <class W>
W *showWindow(QWidget *opener)
{
    QPointer<W> &window = NamedInstance<W>::window;
    if (!window) {
        window = new W;
        QObject::connect(window, &FormWindow::unloaded, [] { NamedInstance<W>::window = nullptr; });
        window->Form_Load();
        keepWithOpener(window, opener);
    }
    bringForward(window);
    return window;
}
