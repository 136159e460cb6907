#pragma once
// What every window of the program shares:
// - it is built from its layout table (FormLayout.h) at a fixed client size;
// - Enter presses the focused button or else the default button, Ctrl+Enter
//   starts a new line in a multi-line box, Esc presses the cancel button or
//   does nothing;
// - closing it, however it is asked, runs its unload handler, unless the
//   window is disabled, in which case it stays;
// - a window that opens a child window disables itself and is enabled again
//   by the child's unload, with the focus back where it was;
// - each window is one named instance (showWindow / loadedWindow below),
//   created and loaded when it is shown and discarded when it closes.

#include "FormLayout.h"

#include <QPointer>
#include <QWidget>

class QMenuBar;
class QPushButton;
class QKeyEvent;

class FormWindow : public QWidget {
    Q_OBJECT

public:
    explicit FormWindow(const WindowSpec &spec);

    template <class T>
    T *control(const char *name) const
    {
        return findChild<T *>(QLatin1String(name));
    }

    void disableForChild();
    void enableAfterChild();

    // The load handler: runs once, after the window is built and before it is
    // first shown.
    virtual void Form_Load() {}

signals:
    void unloaded();

protected:
    // The unload handler: runs when the window closes, however it is closed.
    virtual void Form_Unload() {}

    QMenuBar *addMenuBar();
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleKey(QKeyEvent *key, QWidget *focus);
    bool isOwnShortcut(const QKeyEvent *key) const;

    QWidget *client_;
    QPushButton *defaultButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    QPointer<QWidget> focusBeforeDisable_;
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

// Shows the window, creating and loading it first when it is not loaded; a
// window already open is only brought forward.
template <class W>
W *showWindow()
{
    QPointer<W> &window = NamedInstance<W>::window;
    if (!window) {
        window = new W;
        QObject::connect(window, &FormWindow::unloaded, [] { NamedInstance<W>::window = nullptr; });
        window->Form_Load();
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
