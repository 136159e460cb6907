#pragma once
// Where the text of a box stands on screen, laid out by Qt's text engine
// (QTextLayout: shaping, bidirectional text, kerning, tab stops).
//
// Only the pieces of lines that are shown are laid out (RowMap cuts long
// lines into pieces and keeps the rows each takes; LayoutCache keeps a few
// laid out), so that a line of megabytes takes keys as fast as a short one.
// TextPainter draws them. All rows are rowHeight() high; x is counted from
// the left edge of the text area, y in rows from the first row.

#include "LayoutCache.h"
#include "RowMap.h"
#include "TextLines.h"
#include "TextPainter.h"

#include <QFont>
#include <QTextLayout>

class QPainter;

class TextLayout {
public:
    explicit TextLayout(const TextLines &text) : text_(text), rows_(text) {}
    TextLayout(const TextLayout &) = delete;
    TextLayout &operator=(const TextLayout &) = delete;

    void setFont(const QFont &font, QPaintDevice *device);
    // The width lines wrap at; 0 or less: they do not wrap, and `width` is
    // the width of the area they are shown in (a line written right to left
    // stands at its right edge, or starts at 0 when wider).
    void setWidth(qreal width, bool wrap);
    bool wraps() const { return wrap_; }
    bool rightToLeft(qsizetype line) { return rtl(line); }
    int rowHeight() const { return rowHeight_; }

    // Keeping up with the text: all of it new, or lines [first, first +
    // oldCount) replaced by [first, first + newCount), of which the text
    // before `from` and after `to` (old columns) is unchanged when one line
    // stays one line.
    void reset();
    void lineEdited(qsizetype line, qsizetype from, qsizetype removedTo, qsizetype insertedTo);
    void linesReplaced(qsizetype first, qsizetype oldCount, qsizetype newCount);

    // Text an input method is composing, shown at `at` but not part of the
    // text; formats in the units of `text`.
    void setPreedit(TextPos at, const QString &text, const QList<QTextLayout::FormatRange> &formats,
                    int cursor, bool cursorVisible);
    bool hasPreedit() const { return !preedit_.isEmpty(); }

    // The first row shown. Measuring pieces above it keeps it on the same
    // text: it moves by as many rows as they gained or lost. Every question
    // about a place lays out the piece it is in, if it is not laid out yet.
    qsizetype top() const { return rows_.top(); }
    void setTop(qsizetype row) { rows_.setTop(row); }
    qsizetype rowCount() { return rows_.rowCount(); }
    qsizetype rowOf(TextPos pos);
    // Lays out the pieces of `count` rows from `row` on, so that their rows
    // are measured, not estimated.
    void measureRows(qsizetype row, qsizetype count);

    qreal x(TextPos pos);
    // The caret's place nearest to `x` in a row; never the end of a row
    // that is not the last of its line (that place is the next row's start).
    TextPos hit(qsizetype row, qreal x);
    TextPos rowStart(qsizetype row);
    TextPos rowEnd(qsizetype row);
    // As Qt's own boxes move: over a whole character as a reader sees it,
    // or a word; from the end of a line to the start of the next.
    TextPos next(TextPos pos, QTextLayout::CursorMode mode);
    TextPos previous(TextPos pos, QTextLayout::CursorMode mode);
    // The width of the widest line, for scrolling sideways when not wrapping.
    qreal contentWidth() const { return rows_.contentWidth(); }

    using Paint = TextPainter::Paint;
    void draw(QPainter &painter, const QRect &area, QPointF origin, const Paint &paint)
    {
        painter_.draw(painter, area, origin, paint);
    }

private:
    friend class TextPainter;
    using Row = RowMap::Row;
    using Piece = RowMap::Piece;

    qsizetype pieceCount(qsizetype line) const { return rows_.pieceCount(line); }
    Piece piece(qsizetype line, qsizetype index) const { return rows_.piece(line, index); }
    qsizetype pieceStart(qsizetype line, qsizetype index) const
    {
        return rows_.pieceStart(line, index);
    }
    qsizetype pieceEnd(qsizetype line, qsizetype index) const
    {
        return rows_.pieceEnd(line, index);
    }
    qsizetype pieceAt(TextPos pos) const { return rows_.pieceAt(pos); }
    bool rtl(qsizetype line) { return rows_.rtl(line); }
    Row rowAt(qsizetype row) { return rows_.rowAt(row); }
    qsizetype pieceFirstRow(qsizetype line, qsizetype index)
    {
        return rows_.pieceFirstRow(line, index);
    }
    qreal pieceLeft(qsizetype line, qsizetype index) { return rows_.pieceLeft(line, index); }
    qsizetype pieceUnder(qsizetype line, qreal x) { return rows_.pieceUnder(line, x); }

    // The piece laid out, from the cache or made now and measured.
    QTextLayout *laidOut(qsizetype line, qsizetype index);
    // Where a column of a piece is in the piece's layout, which holds the
    // pre-edit text too.
    int toLayout(qsizetype line, qsizetype index, qsizetype column) const;
    qsizetype fromLayout(qsizetype line, qsizetype index, int position) const;
    // A column inside a surrogate pair or a flag moved to the pair's start
    // (direction < 0) or end (direction > 0); any other column as it is.
    qsizetype offPair(qsizetype line, qsizetype column, int direction) const;
    QTextLine qtLine(qsizetype line, qsizetype index, qsizetype column);

    const TextLines &text_;
    QFont font_;
    QPaintDevice *device_ = nullptr;
    qreal width_ = 0;
    bool wrap_ = false;
    int rowHeight_ = 1;
    qreal ascent_ = 0;

    RowMap rows_;
    LayoutCache cache_;
    TextPainter painter_{*this, rows_};

    TextPos preeditAt_;
    QString preedit_;
    QList<QTextLayout::FormatRange> preeditFormats_;
    int preeditCursor_ = 0;
    bool preeditCursorVisible_ = true;
};
