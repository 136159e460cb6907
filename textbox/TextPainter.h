#pragma once
// Draws the rows of a TextLayout that are in view: the text, the selection
// and the caret.

#include "TextLines.h"

#include <QPalette>
#include <QPointF>
#include <QRect>

#include <functional>

class QPainter;
class RowMap;
class TextLayout;

class TextPainter {
public:
    struct Paint {
        TextPos selectionStart;
        TextPos selectionEnd;
        TextPos cursor;
        bool showCursor = false;
        QPalette palette;
    };

    TextPainter(TextLayout &layout, RowMap &rows) : layout_(layout), rows_(rows) {}

    // Draws the rows from the layout's top() on, the first at `origin` (the
    // text area's left edge and the top of the first row), until `area` ends.
    void draw(QPainter &painter, const QRect &area, QPointF origin, const Paint &paint);

private:
    void forPiecesInView(qsizetype line, qreal originX, const QRect &area,
                         const std::function<void(qsizetype, qreal)> &visit);
    void drawPiece(QPainter &painter, const QRect &area, QPointF at, qsizetype line,
                   qsizetype index, const Paint &paint);

    TextLayout &layout_;
    RowMap &rows_;
};
