#pragma once
// The one place that decides what a key does before the focused control sees
// it. Qt hands every key press to the application's event filters first, so a
// single filter on the application sees each key on its way from the window
// system to the focused widget, in every window:
//
//   ShortcutOverride  a key that is one of the window's own menu shortcuts
//                     (Ctrl+P, Ctrl+Q, Ctrl+A) goes to the menu, even from a
//                     text box that would take Ctrl+A for itself;
//   KeyPress          Enter presses the focused button, else the window's
//                     default button; Ctrl+Enter starts a new line in a
//                     multi-line box; Esc presses the cancel button, or does
//                     nothing where the window has none.
//
// Every other key goes on to the focused control (a text box's own editing
// keys) or to Qt's shortcut map (the menu shortcuts and Alt access keys).
// A disabled window's keys pass untouched: Qt gives it none anyway.

#include <QObject>

class FormWindow;
class QKeyEvent;
class QWidget;

class KeyRouter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool isWindowShortcut(const FormWindow *window, const QKeyEvent *key);
    static bool handleKeyPress(FormWindow *window, QWidget *focus, const QKeyEvent *key);
};
