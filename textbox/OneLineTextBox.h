#pragma once
// A one-line text box that looks and behaves as Qt's one-line box (its
// frame, margins, keys, select-all on Tab, menu, undo, input methods), on
// the engine of the multi-line boxes, so that a line of megabytes takes
// keys as fast as a short one. Enter and Esc are left to the window. Line
// ends typed or pasted stay in the text and show as blanks, as in Qt's box.

#include "TextBox.h"

class OneLineTextBox : public TextBox {
    Q_OBJECT

public:
    explicit OneLineTextBox(QWidget *parent = nullptr);

    QString text() const { return lines().line(0); }  // shared, not copied
    qsizetype cursorPosition() const { return cursor().column; }
    void setCursorPosition(qsizetype position) { setCursor(TextPos{0, position}); }
    // No frame: for use inside a combo box, which draws its own.
    void setFrame(bool frame);
    bool hasFrame() const { return frame_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    QPoint textOrigin() const override;
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void initStyleOption(class QStyleOptionFrame *option) const;
    void updateMargins();

    bool frame_ = true;
};
