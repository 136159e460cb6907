#include "TextLayout.h"

#include "Graphemes.h"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

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
    rows_.setAverageAdvance(std::max(metrics.averageCharWidth(), 1.0));
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
        cache_.forgetAll();
    rows_.setWidth(width, wrap);
}

void TextLayout::reset()
{
    cache_.forgetAll();
    rows_.reset();
}

void TextLayout::lineEdited(qsizetype line, qsizetype from, qsizetype removedTo,
                            qsizetype insertedTo)
{
    cache_.forget(line, line);
    rows_.lineEdited(line, from, removedTo, insertedTo);
}

void TextLayout::linesReplaced(qsizetype first, qsizetype oldCount, qsizetype newCount)
{
    // Cached layouts are known by line number, which the lines after move.
    cache_.forget(first, std::numeric_limits<qsizetype>::max());
    rows_.linesReplaced(first, oldCount, newCount);
}

// ---- Places in pieces -----------------------------------------------------------

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

QTextLayout *TextLayout::laidOut(qsizetype line, qsizetype index)
{
    const qsizetype start = pieceStart(line, index);
    const qsizetype end = pieceEnd(line, index);
    const LayoutCache::Key key(line, start);
    if (QTextLayout *found = cache_.find(key))
        return found;
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
    QTextLayout *result = cache_.keep(key, std::move(layout), end - start);
    rows_.measured(line, index, rows, width);
    return result;
}

void TextLayout::setPreedit(TextPos at, const QString &text,
                            const QList<QTextLayout::FormatRange> &formats, int cursor,
                            bool cursorVisible)
{
    if (hasPreedit())
        cache_.forget(preeditAt_.line, preeditAt_.line);
    preeditAt_ = at;
    preedit_ = text;
    preeditFormats_ = formats;
    preeditCursor_ = std::clamp<int>(cursor, 0, int(text.size()));
    preeditCursorVisible_ = cursorVisible;
    cache_.forget(at.line, at.line);
}

QTextLine TextLayout::qtLine(qsizetype line, qsizetype index, qsizetype column)
{
    QTextLayout *layout = laidOut(line, index);
    QTextLine l = layout->lineForTextPosition(toLayout(line, index, column));
    return l.isValid() ? l : layout->lineAt(layout->lineCount() - 1);
}

qsizetype TextLayout::rowOf(TextPos pos)
{
    const qsizetype index = pieceAt(pos);
    const QTextLine l = qtLine(pos.line, index, pos.column);
    return pieceFirstRow(pos.line, index) + (wrap_ ? l.lineNumber() : 0);
}

void TextLayout::measureRows(qsizetype row, qsizetype count)
{
    if (!wrap_)
        return;
    const Row r = rowAt(row);
    qsizetype covered = -r.sub;
    for (qsizetype line = r.line, index = r.piece; covered < count && line < rows_.lineCount();) {
        laidOut(line, index);
        covered += piece(line, index).rows;
        if (++index == pieceCount(line)) {
            ++line;
            index = 0;
        }
    }
}

// ---- Places -------------------------------------------------------------------

qreal TextLayout::x(TextPos pos)
{
    const qsizetype index = pieceAt(pos);
    const QTextLine l = qtLine(pos.line, index, pos.column);
    int at = toLayout(pos.line, index, pos.column);
    if (hasPreedit() && pos == preeditAt_)
        at += preeditCursor_;
    return pieceLeft(pos.line, index) + l.cursorToX(at);
}

TextPos TextLayout::hit(qsizetype row, qreal x)
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

TextPos TextLayout::rowStart(qsizetype row)
{
    const Row r = rowAt(row);
    QTextLayout *layout = laidOut(r.line, r.piece);
    const QTextLine l = layout->lineAt(std::min(r.sub, layout->lineCount() - 1));
    return {r.line, offPair(r.line, fromLayout(r.line, r.piece, l.textStart()), -1)};
}

// A wrapped row ends where the next starts; the caret stops before its last
// character (the blank it broke at, or the last letter of a word too wide
// for the box), so that End keeps it on its row.
TextPos TextLayout::rowEnd(qsizetype row)
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

TextPos TextLayout::next(TextPos pos, QTextLayout::CursorMode mode)
{
    if (pos.column >= text_.line(pos.line).size())
        return pos.line + 1 < text_.lineCount() ? TextPos{pos.line + 1, 0} : pos;
    const qsizetype index = pieceAt(pos);
    QTextLayout *layout = laidOut(pos.line, index);
    const int at = layout->nextCursorPosition(toLayout(pos.line, index, pos.column), mode);
    return {pos.line, offPair(pos.line, std::max(fromLayout(pos.line, index, at), pos.column + 1), 1)};
}

TextPos TextLayout::previous(TextPos pos, QTextLayout::CursorMode mode)
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

