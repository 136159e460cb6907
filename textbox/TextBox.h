#pragma once
// What the program's text boxes share: the text kept exactly as given (a
// multi-line box reads every kind of line end back as the one asked for),
// editing with undo, the caret and selection, keys, mouse, clipboard,
// input methods, drag and drop, and drawing through TextLayout, which lays
// out only what is shown, so that a line of megabytes takes keys as fast as
// a short one.
// MultiLineTextBox and OneLineTextBox are the boxes the windows use.

#include "TextLayout.h"
#include "TextLines.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>

#include <utility>
#include <vector>

class TextBox : public QAbstractScrollArea {
    Q_OBJECT

public:
    enum class Mode { Wrapped, Unwrapped, OneLine };

    QString text(QLatin1String lineEnd = QLatin1String("\n")) const { return lines_.text(lineEnd); }
    // As a program sets it: forgets the undo history; textChanged only if
    // the text is different.
    void setText(const QString &text);
    // As if typed or pasted: replaces the selection, one undo step.
    void insertText(const QString &text);
    bool isEmpty() const { return lines_.isEmpty(); }
    // Read-only: the user may select, copy and drag the text out, but
    // nothing the user does changes it; the program still may.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool isReadOnly() const { return readOnly_; }
    const TextLines &lines() const { return lines_; }
    // Flat offsets into the text, as a screen reader counts (TextLines).
    qsizetype length() { return lines_.length(); }
    qsizetype offsetOf(TextPos pos) { return lines_.offsetOf(pos); }
    TextPos posAtOffset(qsizetype offset) { return lines_.posAt(offset); }

    TextPos cursor() const { return cursor_; }
    TextPos anchor() const { return anchor_; }
    void setCursor(TextPos cursor, TextPos anchor);
    void setCursor(TextPos pos) { setCursor(pos, pos); }
    bool hasSelection() const { return cursor_ != anchor_; }
    QString selectedText() const;
    // Where the character at `pos` is drawn (the caret's place, one pixel
    // wide at a line's end), in the box's viewport coordinates. These lay
    // out the piece of the line they look at when it is not laid out.
    QRect characterRect(TextPos pos);
    TextPos posAt(QPoint point);  // point in the viewport's coordinates
    // The row (visual line) holding `pos`, from its start to the next row's.
    QPair<TextPos, TextPos> rowAround(TextPos pos);

    void selectAll();
    void copy() const;
    void cut();
    void paste();
    void undo();
    void redo();
    void scrollToCursor();
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void textChanged();  // after every change of the text, however it came
    void textEdited();   // after a change the user made

protected:
    explicit TextBox(Mode mode, QWidget *parent = nullptr);

    Mode mode() const { return mode_; }
    // Where the first row's top left stands in the viewport, unscrolled.
    virtual QPoint textOrigin() const;
    // The part of the viewport that shows text.
    int textWidth() const;
    void layOutAll();

    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    enum class EditKind { Other, Typing, Backspace, Delete };
    struct Edit {
        TextPos from;
        QString removed;
        QString inserted;
        EditKind kind;
    };

    void replace(TextPos from, TextPos to, const QString &text, EditKind kind = EditKind::Other);
    TextPos apply(TextPos from, TextPos to, const QString &text);
    void record(const Edit &edit, bool mergeable);
    void replay(std::vector<Edit> &from, std::vector<Edit> &to, bool backwards);
    bool handleEditKey(QKeyEvent *event);
    bool handleMoveKey(QKeyEvent *event);
    void moveTo(TextPos pos, bool select, bool keepGoalX = false);
    void removeBackward();
    void removeForward();
    TextPos backspaceStart(TextPos pos);
    TextPos visualMove(qsizetype rows);
    void selectWordAt(TextPos pos);
    TextPos selectionStart() const { return std::min(cursor_, anchor_); }
    TextPos selectionEnd() const { return std::max(cursor_, anchor_); }
    void endPreedit();
    int visibleRows() const;
    void updateScrollBars();
    void scrollSideways(int x);
    void restartBlink();
    void offerSelection() const;
    void notifyAccessible(TextPos from, const QString &removed, const QString &inserted);
    void keepInputMethodRects();
    void startDrag();
    void takeDrop(QDropEvent *event, bool drop);
    void showDropCaret(bool shown, TextPos at = {});

    Mode mode_;
    TextLines lines_;
    TextLayout layout_{lines_};
    TextPos cursor_;
    TextPos anchor_;
    std::pair<QRect, QRect> inputMethodRects_;  // the caret's and the anchor's
    qreal goalX_ = -1;  // the x that Up and Down keep to, < 0: the caret's own
    std::vector<Edit> undo_;
    std::vector<Edit> redo_;
    bool mergeable_ = false;  // whether the next edit may join the last undo step
    int userEdits_ = 0;       // > 0 while the user's action runs: its changes are edits
    QBasicTimer blink_;
    bool caretShown_ = false;
    bool syncingScrollBars_ = false;
    bool readOnly_ = false;
    quint64 revision_ = 0;     // counts the changes of the text
    bool mightDrag_ = false;   // the left button went down on the selection
    QPoint pressedAt_;
    bool draggingOut_ = false; // the selection is being dragged, not yet moved
    bool dropShown_ = false;   // a drop caret, at dropAt_
    TextPos dropAt_;

    // Marks what runs while it lives as the user's doing.
    struct UserAction {
        explicit UserAction(TextBox *target) : box(target) { ++box->userEdits_; }
        ~UserAction() { --box->userEdits_; }
        UserAction(const UserAction &) = delete;
        UserAction &operator=(const UserAction &) = delete;
        TextBox *box;
    };
};
