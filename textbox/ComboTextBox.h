#pragma once
// An editable drop-down list whose text is a OneLineTextBox, so that its
// text stays as fast at megabytes as the other boxes': the text field, the
// style's drop-down arrow beside it, and a list of entries that drops down.
//
// It behaves as Qt's editable combo box set to keep what is typed: no
// completion from the list and no entry added by Enter (Enter is left to
// the window). Up and Down (and Page Up, Page Down, the mouse wheel) step
// to the entry before or after the one last chosen; Alt+Down, F4 and the
// arrow drop the list down; choosing an entry, by a key or from the list,
// sets the text and reports textActivated, even when it was the entry shown.
// Typing into the text leaves the entry last chosen as it is.

#include <QStringList>
#include <QWidget>

class ComboPopup;
class OneLineTextBox;
class QListWidget;
class QStyleOptionComboBox;

class ComboTextBox : public QWidget {
    Q_OBJECT

public:
    explicit ComboTextBox(QWidget *parent = nullptr);

    // The text, as OneLineTextBox has it; setText as a program sets it.
    QString text() const;
    void setText(const QString &text);
    bool isEmpty() const;
    OneLineTextBox *textBox() const { return textBox_; }

    void addItem(const QString &text);
    int count() const { return int(items_.size()); }
    QString itemText(int index) const { return items_.value(index); }
    // The entry last chosen, -1 for none. Setting an entry shows its text;
    // setting -1 leaves the text as it is, with no entry chosen.
    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);

    void showPopup();
    void hidePopup();
    bool isPopupVisible() const;
    QListWidget *view() const;  // the list that drops down

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void textChanged();  // after every change of the text, however it came
    void textEdited();   // after a change the user made in the text
    // An entry chosen by the user, by a key or from the list.
    void textActivated(const QString &text);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    friend class ComboPopup;

    void initStyleOption(QStyleOptionComboBox *option) const;
    QRect arrowRect() const;
    void placeTextBox();
    void step(int by);
    void choose(int index);

    OneLineTextBox *textBox_;
    ComboPopup *popup_ = nullptr;  // made when first dropped down
    QStringList items_;
    int current_ = -1;
    bool arrowHovered_ = false;
};

// What a screen reader sees of the combo: a combo box named by its
// accessible name, whose value is its text and which can drop its list.
// Installed with the text boxes' (installTextBoxAccessibility).
void installComboTextBoxAccessibility();
