#include "RowMap.h"

#include "Graphemes.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Where a long line is cut is decided from the text a little past the cut
// (so that a break opportunity is judged as in the whole line) and from the
// last LookBack units before it: a cut depends only on the text near it,
// so that after an edit the cuts further on are found again unchanged.
constexpr qsizetype Lookahead = 16;
constexpr qsizetype LookBack = 1024;

// Qt 6.4 reads every colour glyph (an emoji, a picture packed in the font)
// from the font again each time it lays out a text that holds it, some 40
// microseconds a glyph, two hundred times a letter's cost. So a character
// outside the Basic Multilingual Plane, where the emoji are, or one asked to
// be shown as an emoji (U+FE0F), counts as CostlyUnits units toward a piece's
// size: a piece of emoji is laid out again at a key as fast as one of letters.
constexpr qsizetype CostlyUnits = 32;

bool isCostly(char16_t c)
{
    return (c & 0xFC00) == 0xD800 || c == 0xFE0F;
}

// How far a piece that starts at `start` may reach: MaxPiece units, each
// costly character counted as CostlyUnits; at most the end of the line.
qsizetype pieceLimit(const QString &s, qsizetype start)
{
    const char16_t *text = reinterpret_cast<const char16_t *>(s.utf16());
    const qsizetype end = std::min(s.size(), start + RowMap::MaxPiece);
    // Counted first without a branch, which the compiler makes a few units
    // at a time: most text holds no costly character at all.
    char16_t costly = 0;
    for (qsizetype i = start; i < end; ++i)
        costly |= char16_t(((text[i] & 0xFC00) == 0xD800) | (text[i] == 0xFE0F));
    if (costly == 0)
        return end;
    qsizetype budget = RowMap::MaxPiece;
    qsizetype i = start;
    while (i < end && budget > 0)
        budget -= isCostly(text[i++]) ? CostlyUnits : 1;
    return budget > 0 ? s.size() : i;
}

// Whether [from, to) holds only ASCII letters and digits: a run with no
// line-break opportunity in it and a grapheme boundary between every two.
// Counted without a branch, as in pieceLimit.
bool isPlainWord(const QString &s, qsizetype from, qsizetype to)
{
    const char16_t *text = reinterpret_cast<const char16_t *>(s.utf16());
    char16_t other = 0;
    for (qsizetype i = from; i < to; ++i) {
        const char16_t c = text[i];
        other |= char16_t(char16_t(c - u'0') >= 10u && char16_t((c | 0x20u) - u'a') >= 26u);
    }
    return other == 0;
}

}  // namespace

// ---- Lines and their estimates -------------------------------------------------

void RowMap::reset()
{
    lines_.clear();
    lines_.reserve(size_t(text_.lineCount()));
    for (qsizetype i = 0; i < text_.lineCount(); ++i)
        lines_.push_back(makeLine(i));
    firstRowsValid_ = 1;
    top_ = std::clamp<qsizetype>(top_, 0, rowCount() - 1);
}

void RowMap::setWidth(qreal width, bool wrap)
{
    const bool rewrap = wrap || wrap_;
    width_ = width;
    wrap_ = wrap;
    if (!rewrap)
        return;
    for (qsizetype i = 0; i < lineCount(); ++i) {
        Line &l = lines_[size_t(i)];
        const qsizetype size = text_.line(i).size();
        if (!l.pieces) {
            const Piece p = estimate(size);
            l.width = p.width;
            l.rows = p.rows;
            l.measured = p.measured;
            continue;
        }
        std::vector<Piece> &pieces = *l.pieces;
        for (size_t j = 0; j < pieces.size(); ++j) {
            const qsizetype start = pieces[j].start;
            pieces[j] = estimate((j + 1 < pieces.size() ? pieces[j + 1].start : size) - start);
            pieces[j].start = start;
        }
        sumUp(l);
    }
    firstRowsValid_ = 1;
    top_ = std::clamp<qsizetype>(top_, 0, rowCount() - 1);
}

RowMap::Piece RowMap::estimate(qsizetype length) const
{
    Piece p;
    p.width = float(qreal(length) * averageAdvance_);
    p.rows = wrap_ ? int(std::clamp<qreal>(std::ceil(qreal(p.width) / std::max(width_, 1.0)), 1,
                                           INT_MAX / 2))
                   : 1;
    p.measured = length == 0;  // an empty line is one empty row, exactly
    return p;
}

RowMap::Line RowMap::makeLine(qsizetype line) const
{
    Line l;
    const QString &s = text_.line(line);
    if (s.isEmpty()) {
        l.measured = true;  // one empty row, exactly
        return l;
    }
    if (pieceEnd(s, 0) == s.size()) {
        const Piece p = estimate(s.size());
        l.width = p.width;
        l.rows = p.rows;
        l.measured = p.measured;
        return l;
    }
    l.pieces = std::make_unique<std::vector<Piece>>();
    cut(line, *l.pieces, 0, {}, 0, 0);
    sumUp(l);
    return l;
}

void RowMap::sumUp(Line &line) const
{
    if (!line.pieces)
        return;
    line.width = 0;
    line.rows = 0;
    line.measured = true;
    for (const Piece &p : *line.pieces) {
        line.width += p.width;
        line.rows += p.rows;
        line.measured = line.measured && p.measured;
    }
    if (!wrap_)
        line.rows = 1;
}

// ---- Cutting long lines -----------------------------------------------------

// Where a piece that starts at `start` ends: at the end of the line if that
// is near, else after the last blank or other line-break opportunity in the
// last quarter of the piece (at most LookBack units), else between two
// graphemes.
qsizetype RowMap::pieceEnd(const QString &s, qsizetype start) const
{
    const qsizetype limit = pieceLimit(s, start);
    if (limit >= s.size())
        return s.size();
    const qsizetype from = limit - std::min(LookBack, (limit - start) / 4);
    const qsizetype windowEnd = std::min(s.size(), limit + Lookahead);
    // Where a line has nowhere to break, every piece after an edit is cut
    // again (each holds other text now): the same cut as the boundary
    // finders below would give, without their cost, for the common case.
    if (isPlainWord(s, from, windowEnd))
        return limit;
    for (qsizetype i = limit; i > from; --i)
        if (s[i - 1] == QLatin1Char(' ') && s[i] != QLatin1Char(' '))
            return i;
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, s.constData() + from, windowEnd - from);
    lines.setPosition(limit - from);
    const qsizetype atLine = lines.isAtBoundary() ? lines.position() : lines.toPreviousBoundary();
    if (atLine > 0)
        return from + atLine;
    const qsizetype near = limit - 64;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, s.constData() + near,
                                  windowEnd - near);
    graphemes.setPosition(limit - near);
    const qsizetype atGrapheme =
        graphemes.isAtBoundary() ? graphemes.position() : graphemes.toPreviousBoundary();
    if (atGrapheme > 0)
        return near + atGrapheme;
    // A cluster of more than 64 marks: cut it, but never a surrogate pair.
    return limit - (s[limit].isLowSurrogate() && s[limit - 1].isHighSurrogate() ? 1 : 0);
}

// Cuts the line into pieces from `pieces[fromPiece]` on (or from the start).
// Once a piece starts where one of the `old` pieces started, moved by
// `delta`, and that old piece lay wholly after the edit (from
// `unchangedFrom` on, in old columns), the old pieces from there on are
// kept, moved, with what was measured of them.
void RowMap::cut(qsizetype line, std::vector<Piece> &pieces, qsizetype fromPiece,
                 const std::vector<Piece> &old, qsizetype delta, qsizetype unchangedFrom) const
{
    const QString &s = text_.line(line);
    qsizetype start = fromPiece < qsizetype(pieces.size()) ? pieces[size_t(fromPiece)].start : 0;
    pieces.resize(size_t(fromPiece));
    for (;;) {
        const qsizetype end = graphemes::outOfPair(s, pieceEnd(s, start), -1, start);
        Piece p = estimate(end - start);
        p.start = start;
        pieces.push_back(p);
        if (end >= s.size())
            return;
        start = end;
        const auto same = std::lower_bound(old.begin(), old.end(), start - delta,
                                           [](const Piece &q, qsizetype at) { return q.start < at; });
        if (same != old.end() && same->start == start - delta && same->start >= unchangedFrom) {
            for (auto q = same; q != old.end(); ++q) {
                pieces.push_back(*q);
                pieces.back().start += delta;
            }
            return;
        }
    }
}

void RowMap::lineEdited(qsizetype line, qsizetype from, qsizetype removedTo,
                            qsizetype insertedTo)
{
    Line &l = lines_[size_t(line)];
    const QString &s = text_.line(line);
    l.rtl = -1;
    firstRowsValid_ = std::min(firstRowsValid_, line + 1);
    if (pieceEnd(s, 0) == s.size()) {
        l = makeLine(line);
        return;
    }
    std::vector<Piece> old;
    if (l.pieces)
        old = std::move(*l.pieces);
    else
        old.push_back(Piece{0, l.width, l.rows, l.measured});
    // Keep the pieces that end before the edit and whose end was chosen
    // from text before it.
    qsizetype keep = 0;
    while (keep + 1 < qsizetype(old.size()) && old[size_t(keep + 1)].start <= from &&
           old[size_t(keep)].start + MaxPiece + Lookahead <= from)
        ++keep;
    std::vector<Piece> pieces(old.begin(), old.begin() + keep + 1);
    cut(line, pieces, keep, old, insertedTo - removedTo, removedTo);
    l.pieces = std::make_unique<std::vector<Piece>>(std::move(pieces));
    sumUp(l);
}

void RowMap::linesReplaced(qsizetype first, qsizetype oldCount, qsizetype newCount)
{
    // The lines after the edit move once; the new ones are made in place.
    const qsizetype oldSize = qsizetype(lines_.size());
    const qsizetype newSize = oldSize - oldCount + newCount;
    if (newCount > oldCount) {
        lines_.resize(size_t(newSize));
        std::move_backward(lines_.begin() + first + oldCount, lines_.begin() + oldSize,
                           lines_.end());
    } else {
        std::move(lines_.begin() + first + oldCount, lines_.end(),
                  lines_.begin() + first + newCount);
        lines_.resize(size_t(newSize));
    }
    for (qsizetype i = first; i < first + newCount; ++i)
        lines_[size_t(i)] = makeLine(i);
    firstRowsValid_ = std::min(firstRowsValid_, first + 1);
}

// ---- Pieces -----------------------------------------------------------------

qsizetype RowMap::pieceCount(qsizetype line) const
{
    const Line &l = lines_[size_t(line)];
    return l.pieces ? qsizetype(l.pieces->size()) : 1;
}

RowMap::Piece RowMap::piece(qsizetype line, qsizetype index) const
{
    const Line &l = lines_[size_t(line)];
    if (l.pieces)
        return (*l.pieces)[size_t(index)];
    return Piece{0, l.width, l.rows, l.measured};
}

qsizetype RowMap::pieceStart(qsizetype line, qsizetype index) const
{
    const Line &l = lines_[size_t(line)];
    return l.pieces ? (*l.pieces)[size_t(index)].start : 0;
}

qsizetype RowMap::pieceEnd(qsizetype line, qsizetype index) const
{
    return index + 1 < pieceCount(line) ? pieceStart(line, index + 1) : text_.line(line).size();
}

// The piece a place belongs to: the one it starts, at a cut.
qsizetype RowMap::pieceAt(TextPos pos) const
{
    const Line &l = lines_[size_t(pos.line)];
    if (!l.pieces)
        return 0;
    const auto after = std::upper_bound(l.pieces->begin(), l.pieces->end(), pos.column,
                                        [](qsizetype at, const Piece &p) { return at < p.start; });
    return std::max<qsizetype>(after - l.pieces->begin() - 1, 0);
}

// A line takes its direction from its first strong character, as Qt's own
// boxes do.
bool RowMap::rtl(qsizetype line)
{
    Line &l = lines_[size_t(line)];
    if (l.rtl < 0)
        l.rtl = text_.line(line).isRightToLeft() ? 1 : 0;
    return l.rtl == 1;
}

// Keeps what laying out a piece found; rows gained or lost above the first
// row shown move it, so that the same text stays in view.
void RowMap::measured(qsizetype line, qsizetype index, int rows, qreal width)
{
    Line &l = lines_[size_t(line)];
    const Piece old = piece(line, index);
    const int newRows = wrap_ ? std::max(rows, 1) : 1;
    if (old.measured && old.rows == newRows && qreal(old.width) == width)
        return;
    if (newRows != old.rows && pieceFirstRow(line, index) + old.rows <= top_)
        top_ += newRows - old.rows;
    const Piece now{old.start, float(width), newRows, true};
    if (l.pieces) {
        (*l.pieces)[size_t(index)] = now;
        sumUp(l);
    } else {
        l.width = now.width;
        l.rows = now.rows;
        l.measured = true;
    }
    firstRowsValid_ = std::min(firstRowsValid_, line + 1);
}

// ---- Rows ---------------------------------------------------------------------

// Rows before each line, made again from the first line that changed, and
// only as far as asked: measuring pieces in order down the box costs no more
// than the lines measured.
void RowMap::updateFirstRows(qsizetype upTo)
{
    if (firstRowsValid_ > upTo)
        return;
    firstRows_.resize(lines_.size() + 1);
    for (qsizetype i = firstRowsValid_; i <= upTo; ++i)
        firstRows_[size_t(i)] = firstRows_[size_t(i - 1)] + lines_[size_t(i - 1)].rows;
    firstRowsValid_ = upTo + 1;
}

qsizetype RowMap::firstRow(qsizetype line)
{
    if (!wrap_)
        return line;
    updateFirstRows(line);
    return firstRows_[size_t(line)];
}

qsizetype RowMap::pieceFirstRow(qsizetype line, qsizetype index)
{
    qsizetype row = firstRow(line);
    if (wrap_)
        for (qsizetype i = 0; i < index; ++i)
            row += piece(line, i).rows;
    return row;
}

qsizetype RowMap::rowCount()
{
    if (!wrap_)
        return qsizetype(lines_.size());
    return firstRow(qsizetype(lines_.size()));
}

void RowMap::setTop(qsizetype row)
{
    top_ = std::clamp<qsizetype>(row, 0, rowCount() - 1);
}

RowMap::Row RowMap::rowAt(qsizetype row)
{
    row = std::clamp<qsizetype>(row, 0, rowCount() - 1);
    if (!wrap_)
        return {row, 0, 0};
    const auto after = std::upper_bound(firstRows_.begin(), firstRows_.begin() + qsizetype(lines_.size()), row);
    const qsizetype line = after - firstRows_.begin() - 1;
    qsizetype sub = row - firstRows_[size_t(line)];
    const qsizetype count = pieceCount(line);
    for (qsizetype i = 0; i < count; ++i) {
        const int rows = piece(line, i).rows;
        if (sub < rows || i + 1 == count)
            return {line, i, int(std::min<qsizetype>(sub, rows - 1))};
        sub -= rows;
    }
    return {line, 0, 0};
}

// ---- Places -------------------------------------------------------------------

qreal RowMap::lineRight(qsizetype line) const
{
    return std::max(width_, qreal(lines_[size_t(line)].width));
}

qreal RowMap::pieceLeft(qsizetype line, qsizetype index)
{
    if (wrap_)
        return 0;
    qreal before = 0;
    for (qsizetype i = 0; i < index; ++i)
        before += piece(line, i).width;
    if (!rtl(line))
        return before;
    return lineRight(line) - before - piece(line, index).width;
}

qsizetype RowMap::pieceUnder(qsizetype line, qreal x)
{
    const qsizetype count = pieceCount(line);
    if (count == 1)
        return 0;
    const bool rightToLeft = rtl(line);
    qreal edge = rightToLeft ? lineRight(line) : 0;
    for (qsizetype i = 0; i < count; ++i) {
        const qreal width = piece(line, i).width;
        if (rightToLeft ? x >= edge - width : x < edge + width)
            return i;
        edge += rightToLeft ? -width : width;
    }
    return count - 1;
}

qreal RowMap::contentWidth() const
{
    qreal widest = 0;
    for (const Line &l : lines_)
        widest = std::max(widest, qreal(l.width));
    return widest;
}

