// The boxes' mouse, menu, scrolling and drawing: everything that depends on
// where the text stands on screen.

#include "TextBox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <functional>
#include <utility>
#include <climits>
#include <cmath>

namespace {

// Space between the frame and the text, as a text document's margin.
constexpr int Margin = 4;

}  // namespace

// ---- Mouse and menu ---------------------------------------------------------

// The middle button pastes the X selection at the point, as X programs do.
void TextBox::mousePressEvent(QMouseEvent *event)
{
    endPreedit();
    const TextPos pos = posAt(event->position().toPoint());
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        const UserAction user(this);
        const QString text = clipboard->text(QClipboard::Selection);
        setCursor(pos);
        if (!text.isEmpty())
            insertText(text);
    } else if (event->button() == Qt::LeftButton) {
        // A press on the selection (not at an edge of it, where a press
        // starts a new one) keeps it, to be dragged once the mouse moves
        // far enough.
        const bool shift = event->modifiers() & Qt::ShiftModifier;
        mightDrag_ = !shift && selectionStart() < pos && pos < selectionEnd();
        pressedAt_ = event->position().toPoint();
        if (!mightDrag_)
            setCursor(pos, shift ? anchor_ : pos);
    }
}

// Released where it went down on the selection, the press was a click: the
// caret goes there, as in Qt's boxes.
void TextBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (std::exchange(mightDrag_, false))
        setCursor(posAt(pressedAt_));
    offerSelection();
}

void TextBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint point = event->position().toPoint();
    if (!mightDrag_)
        setCursor(posAt(point), anchor_);
    else if ((point - pressedAt_).manhattanLength() > QApplication::startDragDistance()) {
        mightDrag_ = false;
        startDrag();
    }
}

void TextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    selectWordAt(posAt(event->position().toPoint()));
    offerSelection();
}

// The word as Qt's own boxes select it: from the start of the word at or
// before the place to the end of the word, without the blanks after it.
void TextBox::selectWordAt(TextPos pos)
{
    const QString &s = lines_.line(pos.line);
    if (s.isEmpty()) {
        setCursor(pos);
        return;
    }
    TextPos start = layout_.previous({pos.line, std::min(pos.column + 1, s.size())},
                                     QTextLayout::SkipWords);
    if (start.line != pos.line)
        start = {pos.line, 0};
    TextPos end = layout_.next(start, QTextLayout::SkipWords);
    if (end.line != pos.line)
        end = {pos.line, s.size()};
    while (end.column > pos.column && s[end.column - 1].isSpace())
        --end.column;
    setCursor(end, start);
}

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setFont(font());  // a popup does not inherit the window's font
    const auto add = [&](const char *text, QKeySequence::StandardKey key, bool enabled,
                         const std::function<void()> &act) {
        const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
        QAction *action = menu->addAction(QString::fromLatin1(text) + QLatin1Char('\t') + shortcut);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, [this, act] {
            const UserAction user(this);
            act();
        });
    };
    const bool clipboardHasText = !QGuiApplication::clipboard()->text().isEmpty();
    const bool editable = !readOnly_;
    add("&Undo", QKeySequence::Undo, editable && !undo_.empty(), [this] { undo(); });
    add("&Redo", QKeySequence::Redo, editable && !redo_.empty(), [this] { redo(); });
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, editable && hasSelection(), [this] { cut(); });
    add("&Copy", QKeySequence::Copy, hasSelection(), [this] { copy(); });
    add("&Paste", QKeySequence::Paste, editable && clipboardHasText, [this] { paste(); });
    add("Delete", QKeySequence::Delete, editable && hasSelection(), [this] { removeForward(); });
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll, !isEmpty(), [this] { selectAll(); });
    menu->popup(event->globalPos());
}

// ---- Layout, scrolling and drawing -------------------------------------------

QPoint TextBox::textOrigin() const
{
    return {Margin, Margin};
}

int TextBox::textWidth() const
{
    return std::max(viewport()->width() - 2 * textOrigin().x(), 1);
}

int TextBox::visibleRows() const
{
    return std::max((viewport()->height() - textOrigin().y()) / layout_.rowHeight(), 1);
}

void TextBox::layOutAll()
{
    layout_.setFont(font(), viewport());
    layout_.setWidth(textWidth(), mode_ == Mode::Wrapped);
    updateScrollBars();
    scrollToCursor();
    viewport()->update();
}

// The scroll bars follow the layout: the vertical one counts rows from the
// first shown, the horizontal one pixels.
void TextBox::updateScrollBars()
{
    syncingScrollBars_ = true;
    QScrollBar *vertical = verticalScrollBar();
    const int rows = visibleRows();
    const qsizetype count = layout_.rowCount();
    vertical->setRange(0, int(std::min<qsizetype>(std::max<qsizetype>(count - rows, 0), INT_MAX)));
    vertical->setPageStep(rows);
    vertical->setSingleStep(1);
    vertical->setValue(int(std::min<qsizetype>(layout_.top(), INT_MAX)));
    if (mode_ != Mode::Wrapped) {
        QScrollBar *horizontal = horizontalScrollBar();
        // + the caret after the last character
        const qreal content = layout_.contentWidth() + 2 * textOrigin().x() + 1;
        horizontal->setRange(
            0, std::max(int(std::min<qreal>(std::ceil(content), INT_MAX)) - viewport()->width(), 0));
        horizontal->setPageStep(viewport()->width());
        horizontal->setSingleStep(20);
    }
    syncingScrollBars_ = false;
    layout_.setTop(vertical->value());
}

void TextBox::scrollSideways(int x)
{
    QScrollBar *horizontal = horizontalScrollBar();
    const int shown = textWidth() - 1;
    const int left = horizontal->value();
    if (mode_ == Mode::OneLine) {
        // As Qt's one-line box: just enough to show the caret.
        if (x < left)
            horizontal->setValue(x);
        else if (x > left + shown)
            horizontal->setValue(x - shown);
        return;
    }
    // Jump by a third of the width, so that typing on does not scroll at every key.
    if (x < left)
        horizontal->setValue(std::max(x - shown / 3, 0));
    else if (x > left + shown)
        horizontal->setValue(x - shown + shown / 3);
}

void TextBox::scrollToCursor()
{
    const int rows = visibleRows();
    // Rows laid out on the way may turn out more or fewer than estimated:
    // look again until the caret's row is in view.
    for (int pass = 0; pass < 3; ++pass) {
        const qsizetype row = layout_.rowOf(cursor_);
        qsizetype top = layout_.top();
        if (row < top)
            top = row;
        else if (row >= top + rows)
            top = row - rows + 1;
        layout_.setTop(top);
        layout_.measureRows(layout_.top(), rows);
        const qsizetype now = layout_.rowOf(cursor_);
        if (now >= layout_.top() && now < layout_.top() + rows)
            break;
    }
    updateScrollBars();
    if (mode_ != Mode::Wrapped)
        scrollSideways(int(std::floor(layout_.x(cursor_))));
    keepInputMethodRects();
}

void TextBox::scrollContentsBy(int, int)
{
    if (!syncingScrollBars_)
        layout_.setTop(verticalScrollBar()->value());
    keepInputMethodRects();
    viewport()->update();
}

void TextBox::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    layout_.setWidth(textWidth(), mode_ == Mode::Wrapped);
    updateScrollBars();
    keepInputMethodRects();
    viewport()->update();
}

// Where an input method's window goes: kept whenever the caret or the view
// moves, for inputMethodQuery, which Qt calls as const.
void TextBox::keepInputMethodRects()
{
    inputMethodRects_ = {characterRect(cursor_), characterRect(anchor_)};
}

void TextBox::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        layOutAll();
}

TextPos TextBox::posAt(QPoint point)
{
    const QPoint o = textOrigin();
    const qsizetype row =
        qsizetype(std::floor(double(point.y() - o.y()) / layout_.rowHeight()));
    return layout_.hit(std::clamp<qsizetype>(layout_.top() + row, 0, layout_.rowCount() - 1),
                       point.x() - o.x() + horizontalScrollBar()->value());
}

QPair<TextPos, TextPos> TextBox::rowAround(TextPos pos)
{
    pos = lines_.clamp(pos);
    const qsizetype row = layout_.rowOf(pos);
    const TextPos start = layout_.rowStart(row);
    TextPos end = row + 1 < layout_.rowCount() ? layout_.rowStart(row + 1) : lines_.end();
    if (end.line != pos.line)
        end = {pos.line, lines_.line(pos.line).size()};
    return {start, end};
}

QRect TextBox::characterRect(TextPos pos)
{
    pos = lines_.clamp(pos);
    const qsizetype row = layout_.rowOf(pos);
    const qreal x = layout_.x(pos);
    qreal width = 1;
    const TextPos next = layout_.next(pos, QTextLayout::SkipCharacters);
    if (next.line == pos.line && next != pos && layout_.rowOf(next) == row)
        width = std::max(std::abs(layout_.x(next) - x), 1.0);
    const qreal left = layout_.rightToLeft(pos.line) && width > 1 ? x - width : x;
    const QPoint o = textOrigin();
    const int y = o.y() + int(row - layout_.top()) * layout_.rowHeight();
    return QRect(o.x() - horizontalScrollBar()->value() + int(std::floor(left)), y,
                 int(std::ceil(width)), layout_.rowHeight());
}

void TextBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    TextLayout::Paint paint;
    paint.selectionStart = selectionStart();
    paint.selectionEnd = selectionEnd();
    paint.cursor = cursor_;
    paint.showCursor = caretShown_ && hasFocus() && !readOnly_;  // as Qt's read-only boxes: no caret
    paint.palette = palette();
    const QPoint o = textOrigin() - QPoint(horizontalScrollBar()->value(), 0);
    layout_.draw(painter, event->rect(), o, paint);
    if (dropShown_)  // where a drop would land, beside the caret
        painter.fillRect(o.x() + int(std::floor(layout_.x(dropAt_))), characterRect(dropAt_).y(), 1,
                         layout_.rowHeight(), palette().text());
}

void TextBox::notifyAccessible(TextPos from, const QString &removed, const QString &inserted)
{
    if (!QAccessible::isActive())
        return;
    const int offset = int(lines_.offsetOf(from));
    if (!removed.isEmpty()) {
        QAccessibleTextRemoveEvent event(this, offset, removed);
        QAccessible::updateAccessibility(&event);
    }
    if (!inserted.isEmpty()) {
        QAccessibleTextInsertEvent event(this, offset, inserted);
        QAccessible::updateAccessibility(&event);
    }
}
