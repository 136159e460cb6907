#pragma once
// Which rows of a box each line and each piece of a line takes, and the
// first row shown.
//
// Qt lays out a paragraph in time that grows with its length (and with its
// square when a wrapped line has nowhere to break), so a long line is cut
// into pieces of at most MaxPiece UTF-16 units (fewer where it holds emoji,
// which cost Qt more) at a line-break opportunity (else between two
// characters as a reader sees them), and only the pieces that are shown are
// laid out. Of the others only the numbers that scrolling needs are kept
// here: how many rows a piece takes (wrapped) or how wide it is (not
// wrapped), measured once it has been laid out and estimated until then. A
// line of ordinary length is one piece.
//
// Rows: a wrapped box shows each of Qt's lines of a piece as a row, one
// piece after another; a box that does not wrap shows each line as one
// row, its pieces side by side. x is counted from the left edge of the text
// area, y in rows from the first row.

#include "TextLines.h"

#include <memory>
#include <vector>

class RowMap {
public:
    static constexpr qsizetype MaxPiece = 4096;

    struct Piece {
        qsizetype start = 0;
        float width = 0;
        int rows = 1;
        bool measured = false;
    };
    struct Row {
        qsizetype line = 0;
        qsizetype piece = 0;
        int sub = 0;  // Qt's line within the piece
    };

    explicit RowMap(const TextLines &text) : text_(text) {}

    // What estimates are made from until a piece is measured.
    void setAverageAdvance(qreal advance) { averageAdvance_ = advance; }
    // The width lines wrap at, or that they are shown in when they do not
    // wrap. Wrapping, the rows of every piece are estimated again for it;
    // where the lines are cut stays, since it depends on the text alone.
    void setWidth(qreal width, bool wrap);

    // Keeping up with the text: all of it new, or one line edited, or lines
    // replaced (see TextLayout).
    void reset();
    void lineEdited(qsizetype line, qsizetype from, qsizetype removedTo, qsizetype insertedTo);
    void linesReplaced(qsizetype first, qsizetype oldCount, qsizetype newCount);

    qsizetype lineCount() const { return qsizetype(lines_.size()); }
    qsizetype pieceCount(qsizetype line) const;
    Piece piece(qsizetype line, qsizetype index) const;
    qsizetype pieceStart(qsizetype line, qsizetype index) const;
    qsizetype pieceEnd(qsizetype line, qsizetype index) const;
    // The piece a place belongs to: the one it starts, at a cut.
    qsizetype pieceAt(TextPos pos) const;
    // Whether a line is written right to left; found out the first time asked.
    bool rtl(qsizetype line);

    // Keeps what laying out a piece found; rows gained or lost above the
    // first row shown move it, so that the same text stays in view.
    void measured(qsizetype line, qsizetype index, int rows, qreal width);

    qsizetype top() const { return top_; }
    void setTop(qsizetype row);
    qsizetype rowCount();
    Row rowAt(qsizetype row);
    qsizetype firstRow(qsizetype line);
    qsizetype pieceFirstRow(qsizetype line, qsizetype index);

    // Not wrapping: where a piece's left edge stands in its row, the right
    // edge of a line, the piece under an x, and the widest line.
    qreal pieceLeft(qsizetype line, qsizetype index);
    qreal lineRight(qsizetype line) const;
    qsizetype pieceUnder(qsizetype line, qreal x);
    qreal contentWidth() const;

private:
    // A line of ordinary length is one piece, described by the line itself;
    // a long line keeps its pieces apart.
    struct Line {
        float width = 0;  // of all its pieces
        int rows = 1;     // of all its pieces (1 when not wrapping)
        bool measured = false;
        signed char rtl = -1;  // -1: not known yet
        std::unique_ptr<std::vector<Piece>> pieces;
    };

    Line makeLine(qsizetype line) const;
    void cut(qsizetype line, std::vector<Piece> &pieces, qsizetype fromPiece,
             const std::vector<Piece> &old, qsizetype delta, qsizetype unchangedFrom) const;
    qsizetype pieceEnd(const QString &s, qsizetype start) const;
    Piece estimate(qsizetype length) const;
    void sumUp(Line &line) const;
    void updateFirstRows(qsizetype upTo);

    const TextLines &text_;
    qreal width_ = 0;
    bool wrap_ = false;
    qreal averageAdvance_ = 1;

    std::vector<Line> lines_{1};
    std::vector<qsizetype> firstRows_{0, 1};  // wrapping: rows before each line
    qsizetype firstRowsValid_ = 1;            // how many of them are right
    qsizetype top_ = 0;
};
