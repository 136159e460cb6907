#include "TextLayout.h"

#include "Graphemes.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>
#include <functional>
#include <cmath>

namespace {

// Pieces kept laid out: every row of a tall box of short lines, and the
// long pieces around the caret, within a bound on the memory they take.
constexpr int CacheSize = 256;
constexpr qsizetype CachedUnits = 64 * TextLayout::MaxPiece;
// Where a long line is cut is decided from the text a little past the cut
// (so that a break opportunity is judged as in the whole line) and from the
// last LookBack units before it: a cut depends only on the text near it,
// so that after an edit the cuts further on are found again unchanged.
constexpr qsizetype Lookahead = 16;
constexpr qsizetype LookBack = 1024;

// As Qt's one-line box shows them: control characters and line ends would
// be drawn as boxes.
bool isShownAsBlank(QChar c)
{
    return (c.unicode() < 0x20 && c != QLatin1Char('\t')) || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

// Whether a line may break anywhere in the text but at its very end. Qt looks
// for a word boundary at every row of such a text before it gives up and
// breaks anywhere, which costs about twice the layout itself; told to break
// anywhere it breaks at the same places.
bool hasNoBreakOpportunity(const QString &text)
{
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    return breaks.toNextBoundary() >= text.size();
}

}  // namespace

// ---- Setting up -------------------------------------------------------------

void TextLayout::setFont(const QFont &font, QPaintDevice *device)
{
    font_ = font;
    device_ = device;
    const QFontMetricsF metrics(font, device);
    rowHeight_ = std::max(int(std::ceil(metrics.lineSpacing())), 1);
    averageAdvance_ = std::max(metrics.averageCharWidth(), 1.0);
    ascent_ = metrics.ascent();
    reset();
}

void TextLayout::setWidth(qreal width, bool wrap)
{
    if (width == width_ && wrap == wrap_)
        return;
    const bool relayout = wrap || wrap_;
    width_ = width;
    wrap_ = wrap;
    if (relayout)
        reset();
}

void TextLayout::reset()
{
    forgetAll();
    lines_.clear();
    lines_.reserve(size_t(text_.lineCount()));
    for (qsizetype i = 0; i < text_.lineCount(); ++i)
        lines_.push_back(makeLine(i));
    firstRowsValid_ = 1;
    top_ = std::clamp<qsizetype>(top_, 0, rowCount() - 1);
}

TextLayout::Piece TextLayout::estimate(qsizetype length) const
{
    Piece p;
    p.width = float(qreal(length) * averageAdvance_);
    p.rows = wrap_ ? int(std::clamp<qreal>(std::ceil(qreal(p.width) / std::max(width_, 1.0)), 1,
                                           INT_MAX / 2))
                   : 1;
    p.measured = length == 0;  // an empty line is one empty row, exactly
    return p;
}

TextLayout::Line TextLayout::makeLine(qsizetype line) const
{
    Line l;
    const QString &s = text_.line(line);
    if (s.isEmpty()) {
        l.measured = true;  // one empty row, exactly
        return l;
    }
    if (s.size() <= MaxPiece) {
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

void TextLayout::sumUp(Line &line) const
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
// last LookBack units of the piece, else between two graphemes.
qsizetype TextLayout::pieceEnd(const QString &s, qsizetype start) const
{
    if (s.size() - start <= MaxPiece)
        return s.size();
    const qsizetype limit = start + MaxPiece;
    const qsizetype from = limit - LookBack;
    for (qsizetype i = limit; i > from; --i)
        if (s[i - 1] == QLatin1Char(' ') && s[i] != QLatin1Char(' '))
            return i;
    const qsizetype windowEnd = std::min(s.size(), limit + Lookahead);
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
void TextLayout::cut(qsizetype line, std::vector<Piece> &pieces, qsizetype fromPiece,
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

void TextLayout::lineEdited(qsizetype line, qsizetype from, qsizetype removedTo,
                            qsizetype insertedTo)
{
    Line &l = lines_[size_t(line)];
    const QString &s = text_.line(line);
    forget(line, line);
    l.rtl = -1;
    firstRowsValid_ = std::min(firstRowsValid_, line + 1);
    if (s.size() <= MaxPiece) {
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

void TextLayout::linesReplaced(qsizetype first, qsizetype oldCount, qsizetype newCount)
{
    // Cached layouts are known by line number, which the lines after move.
    forget(first, std::numeric_limits<qsizetype>::max());
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

qsizetype TextLayout::pieceCount(qsizetype line) const
{
    const Line &l = lines_[size_t(line)];
    return l.pieces ? qsizetype(l.pieces->size()) : 1;
}

TextLayout::Piece TextLayout::piece(qsizetype line, qsizetype index) const
{
    const Line &l = lines_[size_t(line)];
    if (l.pieces)
        return (*l.pieces)[size_t(index)];
    return Piece{0, l.width, l.rows, l.measured};
}

qsizetype TextLayout::pieceStart(qsizetype line, qsizetype index) const
{
    const Line &l = lines_[size_t(line)];
    return l.pieces ? (*l.pieces)[size_t(index)].start : 0;
}

qsizetype TextLayout::pieceEnd(qsizetype line, qsizetype index) const
{
    return index + 1 < pieceCount(line) ? pieceStart(line, index + 1) : text_.line(line).size();
}

// The piece a place belongs to: the one it starts, at a cut.
qsizetype TextLayout::pieceAt(TextPos pos) const
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
bool TextLayout::rtl(qsizetype line) const
{
    Line &l = lines_[size_t(line)];
    if (l.rtl < 0)
        l.rtl = text_.line(line).isRightToLeft() ? 1 : 0;
    return l.rtl == 1;
}

int TextLayout::toLayout(qsizetype line, qsizetype index, qsizetype column) const
{
    const qsizetype start = pieceStart(line, index);
    qsizetype at = column - start;
    if (hasPreedit() && preeditAt_.line == line && pieceAt(preeditAt_) == index &&
        column > preeditAt_.column)
        at += preedit_.size();
    return int(at);
}

// Qt 6.4 puts caret stops inside surrogate pairs and flags (see Graphemes.h):
// the positions it gives for the caret are moved off such places, or a letter
// typed there would split the pair. A piece starts between two characters, so
// a run of flags is counted from there, not from the start of a long line.
qsizetype TextLayout::offPair(qsizetype line, qsizetype column, int direction) const
{
    return graphemes::outOfPair(text_.line(line), column, direction,
                                pieceStart(line, pieceAt({line, column})));
}

qsizetype TextLayout::fromLayout(qsizetype line, qsizetype index, int position) const
{
    const qsizetype start = pieceStart(line, index);
    qsizetype at = position;
    if (hasPreedit() && preeditAt_.line == line && pieceAt(preeditAt_) == index) {
        const qsizetype preeditStart = preeditAt_.column - start;
        if (at >= preeditStart + preedit_.size())
            at -= preedit_.size();
        else if (at > preeditStart)
            at = preeditStart;
    }
    return start + at;
}

// ---- Laying out ---------------------------------------------------------------

QTextLayout *TextLayout::laidOut(qsizetype line, qsizetype index) const
{
    const qsizetype start = pieceStart(line, index);
    const qsizetype end = pieceEnd(line, index);
    const Key key(line, start);
    const auto found = cache_.find(key);
    if (found != cache_.end()) {
        found->used = ++clock_;
        return found->layout.get();
    }
    while (!cache_.isEmpty() &&
           (cache_.size() >= CacheSize || cachedUnits_ + (end - start) > CachedUnits)) {
        auto oldest = cache_.begin();
        for (auto i = cache_.begin(); i != cache_.end(); ++i)
            if (i->used < oldest->used)
                oldest = i;
        cachedUnits_ -= oldest->units;
        cache_.erase(oldest);
    }
    const QString &whole = text_.line(line);
    QString shown = start == 0 && end == whole.size() ? whole : whole.mid(start, end - start);
    if (std::any_of(shown.cbegin(), shown.cend(), isShownAsBlank))
        std::replace_if(shown.begin(), shown.end(), isShownAsBlank, QLatin1Char(' '));

    auto layout = std::make_unique<QTextLayout>(shown, font_, device_);
    QTextOption option;
    const bool rightToLeft = rtl(line);
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    if (wrap_) {
        option.setWrapMode(hasNoBreakOpportunity(shown) ? QTextOption::WrapAnywhere
                                                        : QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setAlignment(rightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    } else {
        option.setWrapMode(QTextOption::NoWrap);
        option.setFlags(QTextOption::IncludeTrailingSpaces);
    }
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    if (hasPreedit() && preeditAt_.line == line && pieceAt(preeditAt_) == index) {
        const int at = int(preeditAt_.column - start);
        layout->setPreeditArea(at, preedit_);
        QList<QTextLayout::FormatRange> formats = preeditFormats_;
        for (QTextLayout::FormatRange &f : formats)
            f.start += at;
        layout->setFormats(formats);
    }
    layout->beginLayout();
    int rows = 0;
    for (QTextLine l = layout->createLine(); l.isValid(); l = layout->createLine()) {
        if (wrap_)
            l.setLineWidth(std::max(width_, 1.0));
        ++rows;
    }
    layout->endLayout();
    // Every row's baseline where the font puts it, whatever fallback fonts
    // the row needed, as in Qt's one-line box.
    for (int i = 0; i < rows; ++i) {
        QTextLine l = layout->lineAt(i);
        l.setPosition(QPointF(0, i * rowHeight_ + ascent_ - l.ascent()));
    }
    const qreal width = wrap_ ? 0 : layout->lineAt(0).naturalTextWidth();
    QTextLayout *result = layout.get();
    cache_.insert(key, Cached{std::move(layout), ++clock_, end - start});
    cachedUnits_ += end - start;
    measured(line, index, rows, width);
    return result;
}

// Keeps what laying out a piece found; rows gained or lost above the first
// row shown move it, so that the same text stays in view.
void TextLayout::measured(qsizetype line, qsizetype index, int rows, qreal width) const
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

void TextLayout::forget(qsizetype fromLine, qsizetype toLine)
{
    for (auto i = cache_.begin(); i != cache_.end();) {
        if (i.key().first < fromLine || i.key().first > toLine) {
            ++i;
            continue;
        }
        cachedUnits_ -= i->units;
        i = cache_.erase(i);
    }
}

void TextLayout::forgetAll()
{
    cache_.clear();
    cachedUnits_ = 0;
}

void TextLayout::setPreedit(TextPos at, const QString &text,
                            const QList<QTextLayout::FormatRange> &formats, int cursor,
                            bool cursorVisible)
{
    if (hasPreedit())
        forget(preeditAt_.line, preeditAt_.line);
    preeditAt_ = at;
    preedit_ = text;
    preeditFormats_ = formats;
    preeditCursor_ = std::clamp<int>(cursor, 0, int(text.size()));
    preeditCursorVisible_ = cursorVisible;
    forget(at.line, at.line);
}

// ---- Rows ---------------------------------------------------------------------

// Rows before each line, made again from the first line that changed, and
// only as far as asked: measuring pieces in order down the box costs no more
// than the lines measured.
void TextLayout::updateFirstRows(qsizetype upTo) const
{
    if (firstRowsValid_ > upTo)
        return;
    firstRows_.resize(lines_.size() + 1);
    for (qsizetype i = firstRowsValid_; i <= upTo; ++i)
        firstRows_[size_t(i)] = firstRows_[size_t(i - 1)] + lines_[size_t(i - 1)].rows;
    firstRowsValid_ = upTo + 1;
}

qsizetype TextLayout::firstRow(qsizetype line) const
{
    if (!wrap_)
        return line;
    updateFirstRows(line);
    return firstRows_[size_t(line)];
}

qsizetype TextLayout::pieceFirstRow(qsizetype line, qsizetype index) const
{
    qsizetype row = firstRow(line);
    if (wrap_)
        for (qsizetype i = 0; i < index; ++i)
            row += piece(line, i).rows;
    return row;
}

qsizetype TextLayout::rowCount() const
{
    if (!wrap_)
        return qsizetype(lines_.size());
    return firstRow(qsizetype(lines_.size()));
}

void TextLayout::setTop(qsizetype row) const
{
    top_ = std::clamp<qsizetype>(row, 0, rowCount() - 1);
}

TextLayout::Row TextLayout::rowAt(qsizetype row) const
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

QTextLine TextLayout::qtLine(qsizetype line, qsizetype index, qsizetype column) const
{
    QTextLayout *layout = laidOut(line, index);
    QTextLine l = layout->lineForTextPosition(toLayout(line, index, column));
    return l.isValid() ? l : layout->lineAt(layout->lineCount() - 1);
}

qsizetype TextLayout::rowOf(TextPos pos) const
{
    const qsizetype index = pieceAt(pos);
    const QTextLine l = qtLine(pos.line, index, pos.column);
    return pieceFirstRow(pos.line, index) + (wrap_ ? l.lineNumber() : 0);
}

void TextLayout::measureRows(qsizetype row, qsizetype count) const
{
    if (!wrap_)
        return;
    const Row r = rowAt(row);
    qsizetype covered = -r.sub;
    for (qsizetype line = r.line, index = r.piece;
         covered < count && line < qsizetype(lines_.size());) {
        laidOut(line, index);
        covered += piece(line, index).rows;
        if (++index == pieceCount(line)) {
            ++line;
            index = 0;
        }
    }
}

// ---- Places -------------------------------------------------------------------

qreal TextLayout::lineRight(qsizetype line) const
{
    return std::max(width_, qreal(lines_[size_t(line)].width));
}

qreal TextLayout::pieceLeft(qsizetype line, qsizetype index) const
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

qreal TextLayout::x(TextPos pos) const
{
    const qsizetype index = pieceAt(pos);
    const QTextLine l = qtLine(pos.line, index, pos.column);
    int at = toLayout(pos.line, index, pos.column);
    if (hasPreedit() && pos == preeditAt_)
        at += preeditCursor_;
    return pieceLeft(pos.line, index) + l.cursorToX(at);
}

qsizetype TextLayout::pieceUnder(qsizetype line, qreal x) const
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

TextPos TextLayout::hit(qsizetype row, qreal x) const
{
    const Row r = rowAt(row);
    const qsizetype index = wrap_ ? r.piece : pieceUnder(r.line, x);
    QTextLayout *layout = laidOut(r.line, index);
    const QTextLine l = layout->lineAt(std::min(r.sub, layout->lineCount() - 1));
    int at = l.xToCursor(x - pieceLeft(r.line, index));
    // The end of a piece that is not the last is the next piece's start.
    if (wrap_ && index + 1 < pieceCount(r.line) && at >= l.textStart() + l.textLength() &&
        l.lineNumber() == layout->lineCount() - 1)
        at = layout->previousCursorPosition(at);
    return {r.line, offPair(r.line, fromLayout(r.line, index, at), -1)};
}

TextPos TextLayout::rowStart(qsizetype row) const
{
    const Row r = rowAt(row);
    QTextLayout *layout = laidOut(r.line, r.piece);
    const QTextLine l = layout->lineAt(std::min(r.sub, layout->lineCount() - 1));
    return {r.line, offPair(r.line, fromLayout(r.line, r.piece, l.textStart()), -1)};
}

// A wrapped row ends where the next starts; the caret stops before its last
// character (the blank it broke at, or the last letter of a word too wide
// for the box), so that End keeps it on its row.
TextPos TextLayout::rowEnd(qsizetype row) const
{
    const Row r = rowAt(row);
    QTextLayout *layout = laidOut(r.line, r.piece);
    const QTextLine l = layout->lineAt(std::min(r.sub, layout->lineCount() - 1));
    const int end = l.textStart() + l.textLength();
    const bool lastOfLine =
        r.piece + 1 == pieceCount(r.line) && l.lineNumber() == layout->lineCount() - 1;
    if (!wrap_ || lastOfLine)
        return {r.line, text_.line(r.line).size()};
    const qsizetype last =
        fromLayout(r.line, r.piece, std::max(layout->previousCursorPosition(end), l.textStart()));
    return {r.line, offPair(r.line, last, -1)};
}

TextPos TextLayout::next(TextPos pos, QTextLayout::CursorMode mode) const
{
    if (pos.column >= text_.line(pos.line).size())
        return pos.line + 1 < text_.lineCount() ? TextPos{pos.line + 1, 0} : pos;
    const qsizetype index = pieceAt(pos);
    QTextLayout *layout = laidOut(pos.line, index);
    const int at = layout->nextCursorPosition(toLayout(pos.line, index, pos.column), mode);
    return {pos.line, offPair(pos.line, std::max(fromLayout(pos.line, index, at), pos.column + 1), 1)};
}

TextPos TextLayout::previous(TextPos pos, QTextLayout::CursorMode mode) const
{
    if (pos.column <= 0)
        return pos.line > 0 ? TextPos{pos.line - 1, text_.line(pos.line - 1).size()} : pos;
    qsizetype index = pieceAt(pos);
    if (pos.column == pieceStart(pos.line, index))
        --index;
    QTextLayout *layout = laidOut(pos.line, index);
    const int at = layout->previousCursorPosition(toLayout(pos.line, index, pos.column), mode);
    return {pos.line,
            offPair(pos.line, std::min(fromLayout(pos.line, index, at), pos.column - 1), -1)};
}

qreal TextLayout::contentWidth() const
{
    qreal widest = 0;
    for (const Line &l : lines_)
        widest = std::max(widest, qreal(l.width));
    return widest;
}

// ---- Drawing ------------------------------------------------------------------

void TextLayout::draw(QPainter &painter, const QRect &area, QPointF origin,
                      const Paint &paint) const
{
    painter.setPen(paint.palette.color(QPalette::Text));
    if (wrap_) {
        const Row r = rowAt(top_);
        qreal y = origin.y() - r.sub * rowHeight_;
        for (qsizetype line = r.line, index = r.piece;
             line < qsizetype(lines_.size()) && y < area.bottom();) {
            laidOut(line, index);
            drawPiece(painter, area, QPointF(origin.x(), y), line, index, paint);
            y += piece(line, index).rows * rowHeight_;
            if (++index == pieceCount(line)) {
                ++line;
                index = 0;
            }
        }
        return;
    }
    qreal y = origin.y();
    for (qsizetype line = top_; line < qsizetype(lines_.size()) && y < area.bottom();
         ++line, y += rowHeight_) {
        // Measuring a piece moves the ones after it: measure what is in
        // view until nothing more comes into view.
        for (int pass = 0; pass < 3; ++pass) {
            bool measuredAny = false;
            forPiecesInView(line, origin.x(), area, [&](qsizetype i, qreal) {
                if (!cache_.contains(Key(line, pieceStart(line, i)))) {
                    laidOut(line, i);
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
void TextLayout::forPiecesInView(qsizetype line, qreal originX, const QRect &area,
                                 const std::function<void(qsizetype, qreal)> &visit) const
{
    const bool rightToLeft = rtl(line);
    qreal edge = originX + (rightToLeft ? lineRight(line) : 0);
    const qsizetype count = pieceCount(line);
    for (qsizetype i = 0; i < count; ++i) {
        const qreal width = piece(line, i).width;
        const qreal left = rightToLeft ? edge - width : edge;
        if (rightToLeft ? left + width < area.left() - 1 : left >= area.right())
            break;
        if (left < area.right() && left + width >= area.left() - 1)
            visit(i, left);
        // What visit measured may have changed the width.
        edge = rightToLeft ? edge - piece(line, i).width : edge + piece(line, i).width;
    }
}

void TextLayout::drawPiece(QPainter &painter, const QRect &area, QPointF at, qsizetype line,
                           qsizetype index, const Paint &paint) const
{
    QTextLayout *layout = laidOut(line, index);
    const qsizetype start = pieceStart(line, index);
    const qsizetype end = pieceEnd(line, index);
    const bool last = index + 1 == pieceCount(line);
    QList<QTextLayout::FormatRange> selections;
    const TextPos from = paint.selectionStart;
    const TextPos to = paint.selectionEnd;
    if (from < to && from.line <= line && line <= to.line) {
        const qsizetype s = std::max(from.line < line ? 0 : from.column, start);
        const qsizetype e = std::min(to.line > line ? end : to.column, end);
        if (e > s) {
            QTextLayout::FormatRange range;
            range.start = toLayout(line, index, s);
            range.length = toLayout(line, index, e) - range.start;
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
        const qreal x = l.cursorToX(toLayout(line, index, end));
        const qreal blank = QFontMetricsF(font_, device_).horizontalAdvance(QLatin1Char(' '));
        painter.fillRect(QRectF(at.x() + (rtl(line) ? x - blank : x), at.y() + l.lineNumber() * rowHeight_, blank,
                                rowHeight_),
                         paint.palette.brush(QPalette::Highlight));
    }
    if (paint.showCursor && paint.cursor.line == line && pieceAt(paint.cursor) == index) {
        int caret = toLayout(line, index, paint.cursor.column);
        if (hasPreedit() && paint.cursor == preeditAt_) {
            if (!preeditCursorVisible_)
                return;
            caret += preeditCursor_;
        }
        layout->drawCursor(&painter, at, caret, 1);
    }
}
