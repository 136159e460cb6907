#pragma once
// A multi-line text box that lays out and draws only what is visible, so a
// line of megabytes scrolls and takes keys as fast as a short one. It keeps
// the text exactly as given (no-break spaces too), except that every kind of
// line end reads back as the one asked for; Tab moves the focus.

#include "TextLayout.h"
#include "TextLines.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>

#include <vector>

class MultiLineTextBox : public QAbstractScrollArea {
    Q_OBJECT

public:
    enum class Wrap { AtWords, None };

    explicit MultiLineTextBox(Wrap wrap = Wrap::AtWords, QWidget *parent = nullptr);

    QString text(QLatin1String lineEnd = QLatin1String("\n")) const { return lines_.text(lineEnd); }
    void setText(const QString &text);  // also forgets the undo history
    // As if typed or pasted: replaces the selection, one undo step.
    void insertText(const QString &text);
    bool isEmpty() const { return lines_.isEmpty(); }
    const TextLines &lines() const { return lines_; }

    TextPos cursor() const { return cursor_; }
    TextPos anchor() const { return anchor_; }
    void setCursor(TextPos cursor, TextPos anchor);
    void setCursor(TextPos pos) { setCursor(pos, pos); }
    bool hasSelection() const { return cursor_ != anchor_; }
    QString selectedText() const;
    // Where the character at `pos` is drawn, in the box's coordinates.
    QRect characterRect(TextPos pos) const;
    TextPos posAt(QPoint point) const;  // point in the box's coordinates

    void selectAll();
    void copy() const;
    void cut();
    void paste();
    void undo();
    void redo();
    void scrollToCursor();

signals:
    void textChanged();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
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
    void apply(TextPos from, TextPos to, const QString &text);
    void record(const Edit &edit, bool mergeable);
    void replay(std::vector<Edit> &from, std::vector<Edit> &to, bool backwards);
    bool handleEditKey(QKeyEvent *event);
    bool handleMoveKey(QKeyEvent *event);
    void moveTo(TextPos pos, bool select, bool keepGoalX = false);
    void removeBackward();
    void removeForward();
    TextPos step(TextPos pos, int direction) const;
    TextPos visualMove(qsizetype lines) const;
    TextPos lineEdge(bool end) const;
    TextPos wordEdge(TextPos pos, bool forward) const;
    TextPos selectionStart() const { return std::min(cursor_, anchor_); }
    TextPos selectionEnd() const { return std::max(cursor_, anchor_); }
    QPoint origin() const;  // where the first visible visual line starts, in viewport pixels
    QFont drawnFont() const;
    int lineHeight() const;
    int visibleLines() const;
    void layOutAll();
    void updateScrollBars();
    void paintLine(QPainter &painter, qsizetype visualLine, int y) const;
    void restartBlink();
    void offerSelection() const;
    void notifyAccessible(TextPos from, const QString &removed, const QString &inserted) const;

    TextLines lines_;
    TextLayout layout_;
    Wrap wrap_;
    TextPos cursor_;
    TextPos anchor_;
    qreal goalX_ = -1;  // the x that Up and Down keep to, < 0: the caret's own
    std::vector<Edit> undo_;
    std::vector<Edit> redo_;
    bool mergeable_ = false;  // whether the next edit may join the last undo step
    QBasicTimer blink_;
    bool caretShown_ = false;
};
