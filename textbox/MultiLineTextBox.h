#pragma once
// The multi-line text box of the windows: lines wrapped at the box's width
// at word boundaries (or not wrapped, scrolled sideways); Enter starts a new
// line, Tab moves the focus.

#include "TextBox.h"

class MultiLineTextBox : public TextBox {
    Q_OBJECT

public:
    enum class Wrap { AtWords, None };

    explicit MultiLineTextBox(Wrap wrap = Wrap::AtWords, QWidget *parent = nullptr)
        : TextBox(wrap == Wrap::AtWords ? Mode::Wrapped : Mode::Unwrapped, parent)
    {
    }
};
