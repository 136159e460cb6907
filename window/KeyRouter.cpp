#include "KeyRouter.h"

#include "FormWindow.h"
#include "MultiLineTextBox.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>

namespace {

void press(QPushButton *button)
{
    if (button && button->isEnabled())
        button->click();
}

}  // namespace

bool KeyRouter::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    // Only the key's first stop, the focus widget, and only in the program's windows.
    QWidget *focus = QApplication::focusWidget();
    if (!focus || watched != focus)
        return false;
    auto *window = qobject_cast<FormWindow *>(focus->window());
    if (!window || !window->isEnabled())
        return false;

    const auto *key = static_cast<QKeyEvent *>(event);
    if (type == QEvent::ShortcutOverride) {
        // Refusing the override lets the window's own menu shortcut run.
        if (!isWindowShortcut(window, key))
            return false;
        event->ignore();
        return true;
    }
    return handleKeyPress(window, focus, key);
}

bool KeyRouter::isWindowShortcut(const FormWindow *window, const QKeyEvent *key)
{
    const QKeySequence pressed(key->keyCombination());
    const auto actions = window->findChildren<QAction *>();
    return std::any_of(actions.begin(), actions.end(), [&](const QAction *action) {
        return !action->shortcut().isEmpty() && action->shortcut() == pressed;
    });
}

bool KeyRouter::handleKeyPress(FormWindow *window, QWidget *focus, const QKeyEvent *key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;

    if (enter && modifiers == Qt::NoModifier) {
        if (auto *button = qobject_cast<QPushButton *>(focus)) {
            press(button);
            return true;
        }
        if (!window->defaultButton())
            return false;
        press(window->defaultButton());
        return true;
    }
    if (enter && modifiers == Qt::ControlModifier) {
        // Where Enter presses the default button, Ctrl+Enter is the way to a new line.
        auto *box = qobject_cast<MultiLineTextBox *>(focus);
        if (!box || !window->defaultButton())
            return false;
        box->insertText(QStringLiteral("\n"));
        return true;
    }
    if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        press(window->cancelButton());
        return true;
    }
    return false;
}
