// The box's mouse, menu, scrolling and drawing: everything that depends on
// where the text stands on screen.

#include "MultiLineTextBox.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Space between the frame and the text, as a text document's margin.
constexpr int Margin = 4;

// Double-click selects a run of letters and digits, of blanks, or of other signs.
int wordClass(QChar c)
{
    return c.isSpace() ? 0 : (c.isLetterOrNumber() || c == QLatin1Char('_')) ? 1 : 2;
}

}  // namespace

// ---- Mouse and menu ---------------------------------------------------------

// The middle button pastes the X selection at the point, as X programs do.
void MultiLineTextBox::mousePressEvent(QMouseEvent *event)
{
    const TextPos pos = posAt(event->position().toPoint());
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        const QString text = clipboard->text(QClipboard::Selection);
        setCursor(pos);
        if (!text.isEmpty())
            insertText(text);
    } else if (event->button() == Qt::LeftButton) {
        setCursor(pos, event->modifiers() & Qt::ShiftModifier ? anchor_ : pos);
    }
}

void MultiLineTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        offerSelection();
}

void MultiLineTextBox::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        setCursor(posAt(event->position().toPoint()), anchor_);
}

void MultiLineTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const TextPos pos = posAt(event->position().toPoint());
    const QString &s = lines_.line(pos.line);
    if (s.isEmpty())
        return;
    const int kind = wordClass(s[std::min(pos.column, s.size() - 1)]);
    qsizetype start = std::min(pos.column, s.size() - 1);
    qsizetype end = start;
    while (start > 0 && wordClass(s[start - 1]) == kind)
        --start;
    while (end < s.size() && wordClass(s[end]) == kind)
        ++end;
    setCursor({pos.line, end}, {pos.line, start});
    offerSelection();
}

void MultiLineTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setFont(font());  // a popup does not inherit the window's font
    const auto add = [&](const char *text, QKeySequence::StandardKey key, bool enabled, auto slot) {
        const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
        QAction *action = menu->addAction(QString::fromLatin1(text) + QLatin1Char('\t') + shortcut);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
    };
    const bool clipboardHasText = !QGuiApplication::clipboard()->text().isEmpty();
    add("&Undo", QKeySequence::Undo, !undo_.empty(), &MultiLineTextBox::undo);
    add("&Redo", QKeySequence::Redo, !redo_.empty(), &MultiLineTextBox::redo);
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, hasSelection(), &MultiLineTextBox::cut);
    add("&Copy", QKeySequence::Copy, hasSelection(), [this] { copy(); });
    add("&Paste", QKeySequence::Paste, clipboardHasText, &MultiLineTextBox::paste);
    add("Delete", QKeySequence::Delete, hasSelection(), &MultiLineTextBox::removeForward);
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll, !isEmpty(), &MultiLineTextBox::selectAll);
    menu->popup(event->globalPos());
}

// ---- Layout, scrolling and drawing -------------------------------------------

int MultiLineTextBox::lineHeight() const
{
    return std::max(QFontMetrics(font()).lineSpacing(), 1);
}

int MultiLineTextBox::visibleLines() const
{
    return std::max((viewport()->height() - 2 * Margin) / lineHeight(), 1);
}

QPoint MultiLineTextBox::origin() const
{
    return {Margin - horizontalScrollBar()->value(), Margin};
}

// Kerning off: a run of text is then drawn exactly as wide as the sum of its
// characters' advances, which is what the layout adds up.
QFont MultiLineTextBox::drawnFont() const
{
    QFont drawn = font();
    drawn.setKerning(false);
    return drawn;
}

void MultiLineTextBox::layOutAll()
{
    layout_.setFont(drawnFont());
    layout_.setWrapWidth(wrap_ == Wrap::AtWords ? std::max(viewport()->width() - 2 * Margin, 1)
                                                : 0);
    layout_.layOutAll(lines_);
    updateScrollBars();
    viewport()->update();
}

void MultiLineTextBox::updateScrollBars()
{
    const int lines = visibleLines();
    const qsizetype count = layout_.visualLineCount();
    verticalScrollBar()->setRange(
        0, int(std::min<qsizetype>(std::max<qsizetype>(count - lines, 0), INT_MAX)));
    verticalScrollBar()->setPageStep(lines);
    verticalScrollBar()->setSingleStep(1);
    if (layout_.wraps())
        return;
    const qreal content =
        layout_.maxWidth() + 2 * Margin + 1;  // + the caret after the last character
    horizontalScrollBar()->setRange(
        0, std::max(int(std::min<qreal>(std::ceil(content), INT_MAX)) - viewport()->width(), 0));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(20);
}

void MultiLineTextBox::scrollToCursor()
{
    const qsizetype line = layout_.visualLineOf(cursor_);
    const int first = verticalScrollBar()->value();
    if (line < first)
        verticalScrollBar()->setValue(int(line));
    else if (line >= first + visibleLines())
        verticalScrollBar()->setValue(int(line) - visibleLines() + 1);
    if (layout_.wraps())
        return;
    const int x = int(layout_.x(lines_, cursor_));
    const int shown = viewport()->width() - 2 * Margin - 1;
    const int left = horizontalScrollBar()->value();
    // Jump by a third of the width, so that typing on does not scroll at every key.
    if (x < left)
        horizontalScrollBar()->setValue(std::max(x - shown / 3, 0));
    else if (x > left + shown)
        horizontalScrollBar()->setValue(x - shown + shown / 3);
}

void MultiLineTextBox::scrollContentsBy(int, int)
{
    viewport()->update();
}

void MultiLineTextBox::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (wrap_ == Wrap::AtWords)
        layOutAll();
    else
        updateScrollBars();
}

void MultiLineTextBox::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        layOutAll();
}

TextPos MultiLineTextBox::posAt(QPoint point) const
{
    const QPoint o = origin();
    const qsizetype row = qsizetype(std::floor(double(point.y() - o.y()) / lineHeight()));
    const qsizetype v =
        std::clamp<qsizetype>(verticalScrollBar()->value() + row, 0, layout_.visualLineCount() - 1);
    return {layout_.visualLine(lines_, v).line, layout_.columnAt(lines_, v, point.x() - o.x())};
}

QRect MultiLineTextBox::characterRect(TextPos pos) const
{
    pos = lines_.clamp(pos);
    const qsizetype v = layout_.visualLineOf(pos);
    const TextLayout::VisualLine line = layout_.visualLine(lines_, v);
    const qreal x = layout_.x(lines_, line, pos.column);
    const qreal next = pos.column < line.end ? layout_.x(lines_, line, pos.column + 1) : x + 1;
    const QPoint o = origin();
    const int y = o.y() + int(v - verticalScrollBar()->value()) * lineHeight();
    return QRect(o.x() + int(x), y, std::max(int(next - x), 1), lineHeight());
}

void MultiLineTextBox::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setFont(drawnFont());
    const qsizetype count = layout_.visualLineCount();
    int y = origin().y();
    for (qsizetype v = verticalScrollBar()->value(); v < count && y < viewport()->height(); ++v) {
        paintLine(painter, v, y);
        y += lineHeight();
    }
}

// Draws the visible part of one visual line: its selection, its text, the caret.
void MultiLineTextBox::paintLine(QPainter &painter, qsizetype visualLine, int y) const
{
    const TextLayout::VisualLine line = layout_.visualLine(lines_, visualLine);
    const QString &s = lines_.line(line.line);
    const qreal left = origin().x();
    const int height = lineHeight();
    qsizetype from = line.start;
    qsizetype to = line.end;
    if (!layout_.wraps()) {
        from = std::max(layout_.columnAt(lines_, visualLine, -left) - 1, line.start);
        to = std::min(layout_.columnAt(lines_, visualLine, viewport()->width() - left) + 2,
                      line.end);
        from -= from > 0 && s[from].isLowSurrogate() ? 1 : 0;
        to += to < s.size() && s[to].isLowSurrogate() ? 1 : 0;
    }
    QString shown = s.mid(from, to - from);
    for (QChar &c : shown)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    const QPointF baseline(left + layout_.x(lines_, line, from),
                           y + QFontMetrics(painter.font()).ascent());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(baseline, shown);

    const TextPos start = selectionStart();
    const TextPos end = selectionEnd();
    const TextPos lineStart{line.line, line.start};
    const TextPos lineEnd{line.line, line.end};
    if (hasSelection() && !(lineEnd < start) && lineStart < end) {
        const qreal x1 = layout_.x(lines_, line, std::max(start, lineStart).column);
        qreal x2 = layout_.x(lines_, line, std::min(end, lineEnd).column);
        if (lineEnd < end && line.end == s.size())
            x2 += QFontMetrics(painter.font()).horizontalAdvance(QLatin1Char(' '));  // the line end
        const QRectF band(left + x1, y, x2 - x1, height);
        painter.fillRect(band, palette().color(QPalette::Highlight));
        painter.save();
        painter.setClipRect(band);
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawText(baseline, shown);
        painter.restore();
    }
    if (caretShown_ && hasFocus() && layout_.visualLineOf(cursor_) == visualLine)
        painter.fillRect(QRectF(left + layout_.x(lines_, line, cursor_.column), y, 1, height),
                         palette().color(QPalette::Text));
}

void MultiLineTextBox::notifyAccessible(TextPos from, const QString &removed,
                                        const QString &inserted) const
{
    if (!QAccessible::isActive())
        return;
    const int offset = int(lines_.offsetOf(from));
    auto *self = const_cast<MultiLineTextBox *>(this);
    if (!removed.isEmpty()) {
        QAccessibleTextRemoveEvent event(self, offset, removed);
        QAccessible::updateAccessibility(&event);
    }
    if (!inserted.isEmpty()) {
        QAccessibleTextInsertEvent event(self, offset, inserted);
        QAccessible::updateAccessibility(&event);
    }
}
