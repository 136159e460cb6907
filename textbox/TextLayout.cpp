#include "TextLayout.h"

#include <algorithm>

namespace {

// Without wrapping, the x of every ChunkSize-th column is kept, so that the
// x of any column of a long line costs at most ChunkSize additions.
constexpr qsizetype ChunkSize = 4096;

}  // namespace

void TextLayout::setFont(const QFont &font)
{
    metrics_ = std::make_unique<QFontMetricsF>(font);
    bmpAdvance_.assign(0x10000, -1.0f);
    pairAdvance_.clear();
}

void TextLayout::setWrapWidth(qreal width)
{
    wrapWidth_ = width;
}

qreal TextLayout::advance(const QString &s, qsizetype i) const
{
    const QChar c = s[i];
    if (c.isSurrogate()) {
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            return pairAdvance(s, i);
        if (c.isLowSurrogate() && i > 0 && s[i - 1].isHighSurrogate())
            return 0;  // counted with its high half
    }
    // Control characters are drawn as blanks.
    const char16_t unit = c.unicode() < 0x20 ? u' ' : c.unicode();
    float &cached = bmpAdvance_[unit];
    if (cached < 0)
        cached = float(metrics_->horizontalAdvance(QChar(unit)));
    return qreal(cached);
}

// The whole width of a character beyond the BMP, cached like the others, so
// that a line of emoji lays out as fast as a line of letters.
qreal TextLayout::pairAdvance(const QString &s, qsizetype i) const
{
    const char32_t code = QChar::surrogateToUcs4(s[i], s[i + 1]);
    auto cached = pairAdvance_.find(code);
    if (cached == pairAdvance_.end())
        cached = pairAdvance_.insert(code, float(metrics_->horizontalAdvance(s.mid(i, 2))));
    return qreal(*cached);
}

qreal TextLayout::width(const QString &s, qsizetype from, qsizetype to) const
{
    qreal x = 0;
    for (qsizetype i = from; i < to; ++i)
        x += advance(s, i);
    return x;
}

// Breaks at the blank before a word that would cross the width, and inside
// a word only when the word alone is wider than the width. Blanks may hang
// past the edge, so that a line never starts with the blank it broke at.
void TextLayout::wrap(const QString &s, Paragraph &p, qsizetype fromLine, const Tail &tail) const
{
    p.starts.resize(size_t(fromLine + 1));
    qsizetype lineStart = p.starts.back();
    qsizetype breakAt = -1;  // just after the latest blank of this visual line
    qreal x = 0;
    for (qsizetype i = lineStart; i < s.size(); ++i) {
        const qreal a = advance(s, i);
        if (s[i] == QLatin1Char(' ')) {
            breakAt = i + 1;
        } else if (x + a > wrapWidth_ && i > lineStart && !s[i].isLowSurrogate()) {
            lineStart = breakAt > lineStart ? breakAt : i;
            if (lineStart >= tail.from && reuseTail(p, lineStart, tail))
                return;
            p.starts.push_back(lineStart);
            x = width(s, lineStart, i);
            breakAt = -1;
        }
        x += a;
    }
}

// Where a visual line starts depends only on the text from there on (each
// line starts afresh), so once a new line starts past the edit at a place
// where one started before, the old breaks after it hold, moved by the edit.
bool TextLayout::reuseTail(Paragraph &p, qsizetype lineStart, const Tail &tail)
{
    const auto same = std::lower_bound(tail.oldStarts.begin(), tail.oldStarts.end(),
                                       lineStart - tail.delta);
    if (same == tail.oldStarts.end() || *same != lineStart - tail.delta)
        return false;
    for (auto old = same; old != tail.oldStarts.end(); ++old)
        p.starts.push_back(*old + tail.delta);
    return true;
}

void TextLayout::measure(const QString &s, Paragraph &p, qsizetype fromChunk) const
{
    p.chunkX.resize(size_t(fromChunk + 1));
    qreal x = p.chunkX.back();
    for (qsizetype i = fromChunk * ChunkSize; i < s.size(); ++i) {
        x += advance(s, i);
        if ((i + 1) % ChunkSize == 0)
            p.chunkX.push_back(x);
    }
    p.width = x;
}

// Lays out again from the visual line before the one holding `column`: an
// edit can let a word move back up one line, never further, and no earlier
// break depends on what follows it.
void TextLayout::layOut(const QString &s, Paragraph &p, qsizetype column, const Tail &tail) const
{
    if (!wraps()) {
        measure(s, p, std::min(column / ChunkSize, qsizetype(p.chunkX.size()) - 1));
        return;
    }
    const auto holding = std::upper_bound(p.starts.begin(), p.starts.end(), column) - 1;
    wrap(s, p, std::max<qsizetype>(holding - p.starts.begin() - 1, 0), tail);
}

void TextLayout::layOutAll(const TextLines &text)
{
    paragraphs_.assign(size_t(text.lineCount()), Paragraph());
    for (qsizetype i = 0; i < text.lineCount(); ++i)
        layOut(text.line(i), paragraphs_[size_t(i)], 0, Tail());
    countVisualLines(0);
    findMaxWidth();
}

void TextLayout::updateLine(const TextLines &text, qsizetype line, qsizetype column,
                            qsizetype removedTo, qsizetype insertedTo)
{
    Paragraph &p = paragraphs_[size_t(line)];
    const qreal oldWidth = p.width;
    const Tail tail{insertedTo, insertedTo - removedTo, wraps() ? p.starts : std::vector<qsizetype>()};
    layOut(text.line(line), p, column, tail);
    if (p.width >= maxWidth_)
        maxWidth_ = p.width;
    else if (oldWidth >= maxWidth_)
        findMaxWidth();
    countVisualLines(line);
}

void TextLayout::replaceLines(const TextLines &text, qsizetype first, qsizetype oldCount,
                              qsizetype newCount)
{
    const auto at = paragraphs_.begin() + first;
    paragraphs_.erase(at, at + oldCount);
    paragraphs_.insert(paragraphs_.begin() + first, size_t(newCount), Paragraph());
    for (qsizetype i = first; i < first + newCount; ++i)
        layOut(text.line(i), paragraphs_[size_t(i)], 0, Tail());
    findMaxWidth();
    countVisualLines(first);
}

void TextLayout::countVisualLines(qsizetype fromLine)
{
    firstVisual_.resize(paragraphs_.size() + 1);
    for (size_t i = size_t(fromLine); i < paragraphs_.size(); ++i)
        firstVisual_[i + 1] = firstVisual_[i] + qsizetype(paragraphs_[i].starts.size());
}

void TextLayout::findMaxWidth()
{
    maxWidth_ = 0;
    for (const Paragraph &p : paragraphs_)
        maxWidth_ = std::max(maxWidth_, p.width);
}

qsizetype TextLayout::visualLineCount() const
{
    return firstVisual_.back();
}

TextLayout::VisualLine TextLayout::visualLine(const TextLines &text, qsizetype index) const
{
    const auto after = std::upper_bound(firstVisual_.begin(), firstVisual_.end() - 1, index);
    const qsizetype line = after - firstVisual_.begin() - 1;
    const std::vector<qsizetype> &starts = paragraphs_[size_t(line)].starts;
    const size_t j = size_t(index - firstVisual_[size_t(line)]);
    const qsizetype end = j + 1 < starts.size() ? starts[j + 1] : text.line(line).size();
    return {line, starts[j], end};
}

qsizetype TextLayout::visualLineOf(TextPos pos) const
{
    const std::vector<qsizetype> &starts = paragraphs_[size_t(pos.line)].starts;
    const auto holding = std::upper_bound(starts.begin(), starts.end(), pos.column) - 1;
    return firstVisual_[size_t(pos.line)] + (holding - starts.begin());
}

qreal TextLayout::x(const TextLines &text, TextPos pos) const
{
    return x(text, visualLine(text, visualLineOf(pos)), pos.column);
}

qreal TextLayout::x(const TextLines &text, const VisualLine &v, qsizetype column) const
{
    const QString &s = text.line(v.line);
    if (wraps())
        return width(s, v.start, column);
    const qsizetype chunk = column / ChunkSize;
    return paragraphs_[size_t(v.line)].chunkX[size_t(chunk)] + width(s, chunk * ChunkSize, column);
}

qsizetype TextLayout::lastCaretColumn(const TextLines &text, const VisualLine &v) const
{
    const QString &s = text.line(v.line);
    if (v.end >= s.size() || v.end <= v.start)
        return v.end;
    const bool pair =
        v.end - v.start > 1 && s[v.end - 1].isLowSurrogate() && s[v.end - 2].isHighSurrogate();
    return v.end - (pair ? 2 : 1);
}

qsizetype TextLayout::columnAt(const TextLines &text, qsizetype visualLine, qreal x) const
{
    const VisualLine v = this->visualLine(text, visualLine);
    const QString &s = text.line(v.line);
    qsizetype i = v.start;
    qreal left = 0;
    if (!wraps() && x > 0) {
        const std::vector<qreal> &chunkX = paragraphs_[size_t(v.line)].chunkX;
        const auto chunk = std::upper_bound(chunkX.begin(), chunkX.end(), x) - 1;
        i = (chunk - chunkX.begin()) * ChunkSize;
        left = *chunk;
    }
    const qsizetype end = lastCaretColumn(text, v);
    for (; i < end; ++i) {
        const qreal a = advance(s, i);
        if (s[i].isLowSurrogate() || x >= left + a / 2) {
            left += a;
            continue;
        }
        break;
    }
    return i;
}
