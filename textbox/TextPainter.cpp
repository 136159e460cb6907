#include "TextPainter.h"

#include "TextLayout.h"

#include <QFontMetricsF>
#include <QPainter>

void TextPainter::draw(QPainter &painter, const QRect &area, QPointF origin, const Paint &paint)
{
    painter.setPen(paint.palette.color(QPalette::Text));
    if (layout_.wrap_) {
        const RowMap::Row r = rows_.rowAt(rows_.top());
        qreal y = origin.y() - r.sub * layout_.rowHeight();
        for (qsizetype line = r.line, index = r.piece;
             line < rows_.lineCount() && y < area.bottom();) {
            layout_.laidOut(line, index);
            drawPiece(painter, area, QPointF(origin.x(), y), line, index, paint);
            y += rows_.piece(line, index).rows * layout_.rowHeight();
            if (++index == rows_.pieceCount(line)) {
                ++line;
                index = 0;
            }
        }
        return;
    }
    qreal y = origin.y();
    for (qsizetype line = rows_.top(); line < rows_.lineCount() && y < area.bottom();
         ++line, y += layout_.rowHeight()) {
        // Measuring a piece moves the ones after it: measure what is in
        // view until nothing more comes into view.
        for (int pass = 0; pass < 3; ++pass) {
            bool measuredAny = false;
            forPiecesInView(line, origin.x(), area, [&](qsizetype i, qreal) {
                if (!layout_.cache_.contains({line, rows_.pieceStart(line, i)})) {
                    layout_.laidOut(line, i);
                    measuredAny = true;
                }
            });
            if (!measuredAny)
                break;
        }
        forPiecesInView(line, origin.x(), area, [&](qsizetype i, qreal left) {
            drawPiece(painter, area, QPointF(left, y), line, i, paint);
        });
    }
}

// Calls `visit` with each piece of an unwrapped line that stands in `area`
// and its left edge, walking from the line's start, which is at its right
// end when it is written right to left.
void TextPainter::forPiecesInView(qsizetype line, qreal originX, const QRect &area,
                                  const std::function<void(qsizetype, qreal)> &visit)
{
    const bool rightToLeft = rows_.rtl(line);
    qreal edge = originX + (rightToLeft ? rows_.lineRight(line) : 0);
    const qsizetype count = rows_.pieceCount(line);
    for (qsizetype i = 0; i < count; ++i) {
        const qreal width = rows_.piece(line, i).width;
        const qreal left = rightToLeft ? edge - width : edge;
        if (rightToLeft ? left + width < area.left() - 1 : left >= area.right())
            break;
        if (left < area.right() && left + width >= area.left() - 1)
            visit(i, left);
        // What visit measured may have changed the width.
        edge = rightToLeft ? edge - rows_.piece(line, i).width
                           : edge + rows_.piece(line, i).width;
    }
}

void TextPainter::drawPiece(QPainter &painter, const QRect &area, QPointF at, qsizetype line,
                            qsizetype index, const Paint &paint)
{
    QTextLayout *layout = layout_.laidOut(line, index);
    const qsizetype start = rows_.pieceStart(line, index);
    const qsizetype end = rows_.pieceEnd(line, index);
    const bool last = index + 1 == rows_.pieceCount(line);
    QList<QTextLayout::FormatRange> selections;
    const TextPos from = paint.selectionStart;
    const TextPos to = paint.selectionEnd;
    if (from < to && from.line <= line && line <= to.line) {
        const qsizetype s = std::max(from.line < line ? 0 : from.column, start);
        const qsizetype e = std::min(to.line > line ? end : to.column, end);
        if (e > s) {
            QTextLayout::FormatRange range;
            range.start = layout_.toLayout(line, index, s);
            range.length = layout_.toLayout(line, index, e) - range.start;
            range.format.setBackground(paint.palette.brush(QPalette::Highlight));
            range.format.setForeground(paint.palette.brush(QPalette::HighlightedText));
            selections << range;
        }
    }
    layout->draw(&painter, at, selections, area);
    // A selected line end shows as a blank's width of selection after the
    // line's last character.
    if (last && from < to && from <= TextPos{line, end} && to.line > line) {
        const QTextLine l = layout->lineAt(layout->lineCount() - 1);
        const qreal x = l.cursorToX(layout_.toLayout(line, index, end));
        const qreal blank =
            QFontMetricsF(layout_.font_, layout_.device_).horizontalAdvance(QLatin1Char(' '));
        painter.fillRect(QRectF(at.x() + (rows_.rtl(line) ? x - blank : x),
                                at.y() + l.lineNumber() * layout_.rowHeight(), blank,
                                layout_.rowHeight()),
                         paint.palette.brush(QPalette::Highlight));
    }
    if (paint.showCursor && paint.cursor.line == line && rows_.pieceAt(paint.cursor) == index) {
        int caret = layout_.toLayout(line, index, paint.cursor.column);
        if (layout_.hasPreedit() && paint.cursor == layout_.preeditAt_) {
            if (!layout_.preeditCursorVisible_)
                return;
            caret += layout_.preeditCursor_;
        }
        layout->drawCursor(&painter, at, caret, 1);
    }
}
