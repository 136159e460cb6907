#pragma once
// Where the text of a box stands on screen, laid out by Qt's text engine
// (QTextLayout: shaping, bidirectional text, kerning, tab stops).
//
// Qt lays out a paragraph in time that grows with its length (and with its
// square when a wrapped line has nowhere to break), so a long line is cut
// into pieces of at most MaxPiece UTF-16 units at a line-break opportunity
// (else between two characters as a reader sees them), and only the pieces
// that are shown are laid out, a few of them kept in a cache. Of the others
// only the numbers that scrolling needs are kept: how many rows a piece
// takes (wrapped) or how wide it is (not wrapped), measured once it has been
// laid out and estimated until then. A line of ordinary length is one piece.
//
// Rows: a wrapped box shows each of Qt's lines of a piece as a row, one
// piece after another; a box that does not wrap shows each line as one
// row, its pieces side by side. All rows are rowHeight() high. x is counted
// from the left edge of the text area, y in rows from the first row.

#include "TextLines.h"

#include <QFont>
#include <QHash>
#include <QPalette>
#include <QTextLayout>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

class TextLayout {
public:
    static constexpr qsizetype MaxPiece = 4096;

    explicit TextLayout(const TextLines &text) : text_(text) {}

    void setFont(const QFont &font, QPaintDevice *device);
    // The width lines wrap at; 0 or less: they do not wrap, and `width` is
    // the width of the area they are shown in (a line written right to left
    // stands at its right edge, or starts at 0 when wider).
    void setWidth(qreal width, bool wrap);
    bool wraps() const { return wrap_; }
    bool rightToLeft(qsizetype line) const { return rtl(line); }
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
    // text: it moves by as many rows as they gained or lost.
    qsizetype top() const { return top_; }
    void setTop(qsizetype row) const;
    qsizetype rowCount() const;
    qsizetype rowOf(TextPos pos) const;
    // Lays out the pieces of `count` rows from `row` on, so that their rows
    // are measured, not estimated.
    void measureRows(qsizetype row, qsizetype count) const;

    qreal x(TextPos pos) const;
    // The caret's place nearest to `x` in a row; never the end of a row
    // that is not the last of its line (that place is the next row's start).
    TextPos hit(qsizetype row, qreal x) const;
    TextPos rowStart(qsizetype row) const;
    TextPos rowEnd(qsizetype row) const;
    // As Qt's own boxes move: over a whole character as a reader sees it,
    // or a word; from the end of a line to the start of the next.
    TextPos next(TextPos pos, QTextLayout::CursorMode mode) const;
    TextPos previous(TextPos pos, QTextLayout::CursorMode mode) const;
    // The width of the widest line, for scrolling sideways when not wrapping.
    qreal contentWidth() const;

    struct Paint {
        TextPos selectionStart;
        TextPos selectionEnd;
        TextPos cursor;
        bool showCursor = false;
        QPalette palette;
    };
    // Draws the rows from top() on, the first at `origin` (the text area's
    // left edge and the top of the first row), until `area` ends.
    void draw(QPainter &painter, const QRect &area, QPointF origin, const Paint &paint) const;

private:
    struct Piece {
        qsizetype start = 0;
        float width = 0;
        int rows = 1;
        bool measured = false;
    };
    // A line of ordinary length is one piece, described by the line itself;
    // a long line keeps its pieces apart.
    struct Line {
        float width = 0;  // of all its pieces
        int rows = 1;     // of all its pieces (1 when not wrapping)
        bool measured = false;
        signed char rtl = -1;  // -1: not known yet
        std::unique_ptr<std::vector<Piece>> pieces;
    };
    struct Row {
        qsizetype line = 0;
        qsizetype piece = 0;
        int sub = 0;  // Qt's line within the piece
    };
    struct Cached {
        std::shared_ptr<QTextLayout> layout;
        quint64 used = 0;
        qsizetype units = 0;
    };
    using Key = QPair<qsizetype, qsizetype>;  // line, start of the piece

    Line makeLine(qsizetype line) const;
    void cut(qsizetype line, std::vector<Piece> &pieces, qsizetype fromPiece,
             const std::vector<Piece> &old, qsizetype delta, qsizetype unchangedFrom) const;
    qsizetype pieceEnd(const QString &s, qsizetype start) const;
    Piece estimate(qsizetype length) const;
    void sumUp(Line &line) const;

    qsizetype pieceCount(qsizetype line) const;
    Piece piece(qsizetype line, qsizetype index) const;
    qsizetype pieceStart(qsizetype line, qsizetype index) const;
    qsizetype pieceEnd(qsizetype line, qsizetype index) const;
    qsizetype pieceAt(TextPos pos) const;
    bool rtl(qsizetype line) const;

    QTextLayout *laidOut(qsizetype line, qsizetype index) const;
    void measured(qsizetype line, qsizetype index, int rows, qreal width) const;
    void forget(qsizetype fromLine, qsizetype toLine);
    void forgetAll();
    // Where a column of a piece is in the piece's layout, which holds the
    // pre-edit text too.
    int toLayout(qsizetype line, qsizetype index, qsizetype column) const;
    qsizetype fromLayout(qsizetype line, qsizetype index, int position) const;
    // A column inside a surrogate pair or a flag moved to the pair's start
    // (direction < 0) or end (direction > 0); any other column as it is.
    qsizetype offPair(qsizetype line, qsizetype column, int direction) const;
    QTextLine qtLine(qsizetype line, qsizetype index, qsizetype column) const;

    void updateFirstRows(qsizetype upTo) const;
    qsizetype firstRow(qsizetype line) const;
    qsizetype pieceFirstRow(qsizetype line, qsizetype index) const;
    Row rowAt(qsizetype row) const;
    qreal pieceLeft(qsizetype line, qsizetype index) const;
    qreal lineRight(qsizetype line) const;
    qsizetype pieceUnder(qsizetype line, qreal x) const;

    void forPiecesInView(qsizetype line, qreal originX, const QRect &area,
                         const std::function<void(qsizetype, qreal)> &visit) const;
    void drawPiece(QPainter &painter, const QRect &area, QPointF at, qsizetype line,
                   qsizetype index, const Paint &paint) const;

    const TextLines &text_;
    QFont font_;
    QPaintDevice *device_ = nullptr;
    qreal width_ = 0;
    bool wrap_ = false;
    int rowHeight_ = 1;
    qreal averageAdvance_ = 1;
    qreal ascent_ = 0;

    mutable std::vector<Line> lines_{1};
    mutable std::vector<qsizetype> firstRows_{0, 1};  // wrapping: rows before each line
    mutable qsizetype firstRowsValid_ = 1;            // how many of them are right
    mutable qsizetype top_ = 0;

    mutable QHash<Key, Cached> cache_;
    mutable quint64 clock_ = 0;
    mutable qsizetype cachedUnits_ = 0;

    TextPos preeditAt_;
    QString preedit_;
    QList<QTextLayout::FormatRange> preeditFormats_;
    int preeditCursor_ = 0;
    bool preeditCursorVisible_ = true;
};
