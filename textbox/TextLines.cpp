#include "TextLines.h"

#include <algorithm>

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

// How many units the line end at `i` takes: two for CR LF, else one.
qsizetype lineEndLength(const QString &text, qsizetype i)
{
    const bool crlf =
        text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n');
    return crlf ? 2 : 1;
}

// Appends the lines of `text` to `out`.
void appendLines(QStringList &out, const QString &text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineEnd(text[i]))
            continue;
        out << text.mid(start, i - start);
        i += lineEndLength(text, i) - 1;
        start = i + 1;
    }
    out << text.mid(start);
}

// At most how many lines `text` holds (a CRLF counts twice).
qsizetype lineCountBound(const QString &text)
{
    return std::count_if(text.begin(), text.end(), isLineEnd) + 1;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    // One allocation for the list, however many lines: a text of empty
    // lines has a line for every character.
    lines.reserve(lineCountBound(text));
    appendLines(lines, text);
    return lines;
}

}  // namespace

QStringList TextLines::split(const QString &text) const
{
    return oneLine_ ? QStringList{text} : splitLines(text);
}

void TextLines::setText(const QString &text)
{
    lines_ = split(text);
    // A line that is the whole text shares its characters with the caller
    // (a clipboard, a field's stored value): copied now, while the text is
    // being set, not at the first key, which would wait for megabytes to be
    // copied.
    lines_.front().detach();
    invalidateOffsets(0);
}

QString TextLines::text(QLatin1String lineEnd) const
{
    if (lines_.size() == 1)
        return lines_.front();  // shared, not copied: a long line is read often
    return lines_.join(lineEnd);
}

bool TextLines::holds(const QString &text) const
{
    if (oneLine_)
        return lines_.front() == text;
    qsizetype at = 0;
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QString &line = lines_[i];
        if (text.size() - at < line.size() || QStringView(text).mid(at, line.size()) != line)
            return false;
        at += line.size();
        if (i + 1 == lines_.size())
            return at == text.size();
        if (at == text.size() || !isLineEnd(text[at]))
            return false;
        at += lineEndLength(text, at);
    }
    return false;
}

QString TextLines::text(TextPos from, TextPos to) const
{
    if (from.line == to.line)
        return lines_[from.line].mid(from.column, to.column - from.column);
    qsizetype size = 0;
    for (qsizetype i = from.line; i <= to.line; ++i)
        size += lines_[i].size() + 1;
    QString result;
    result.reserve(size);
    result += QStringView(lines_[from.line]).mid(from.column);
    for (qsizetype i = from.line + 1; i < to.line; ++i) {
        result += QLatin1Char('\n');
        result += lines_[i];
    }
    result += QLatin1Char('\n');
    result += QStringView(lines_[to.line]).left(to.column);
    return result;
}

TextPos TextLines::clamp(TextPos pos) const
{
    pos.line = std::clamp<qsizetype>(pos.line, 0, lines_.size() - 1);
    pos.column = std::clamp<qsizetype>(pos.column, 0, lines_[pos.line].size());
    return pos;
}

TextPos TextLines::replace(TextPos from, TextPos to, const QString &text)
{
    invalidateOffsets(from.line);
    // A single line edited in place keeps its other lines untouched (and a
    // long line is not copied).
    if (from.line == to.line && (oneLine_ || !std::any_of(text.begin(), text.end(), isLineEnd))) {
        lines_[from.line].replace(from.column, to.column - from.column, text);
        return {from.line, from.column + text.size()};
    }
    const qsizetype removed = to.line - from.line + 1;
    const qsizetype bound = lineCountBound(text);
    if (bound > lines_.size()) {
        // Many lines in: the text is made again around them in one list,
        // rather than moving the lines after the edit to make room.
        QStringList result;
        result.reserve(lines_.size() - removed + bound);
        for (qsizetype i = 0; i < from.line; ++i)
            result << std::move(lines_[i]);
        appendLines(result, text);
        result[from.line].prepend(QStringView(lines_[from.line]).left(from.column));
        const TextPos end{result.size() - 1, result.back().size()};
        result.back() += QStringView(lines_[to.line]).mid(to.column);
        for (qsizetype i = to.line + 1; i < lines_.size(); ++i)
            result << std::move(lines_[i]);
        lines_ = std::move(result);
        return end;
    }
    QStringList inserted = split(text);
    const QString tail = lines_[to.line].mid(to.column);
    inserted.front().prepend(QStringView(lines_[from.line]).left(from.column));
    const TextPos end{from.line + inserted.size() - 1, inserted.back().size()};
    inserted.back() += tail;
    // One move of the lines after the edit, however many lines come in.
    lines_.remove(from.line, removed);
    lines_.insert(from.line, inserted.size(), QString());
    for (qsizetype i = 0; i < inserted.size(); ++i)
        lines_[from.line + i] = std::move(inserted[i]);
    return end;
}

void TextLines::invalidateOffsets(qsizetype fromLine)
{
    validStarts_ = std::min(validStarts_, fromLine + 1);
}

void TextLines::updateOffsets()
{
    if (validStarts_ == lines_.size() + 1)
        return;
    starts_.resize(size_t(lines_.size() + 1));
    for (qsizetype i = validStarts_; i <= lines_.size(); ++i)
        starts_[size_t(i)] = starts_[size_t(i - 1)] + lines_[i - 1].size() + 1;
    validStarts_ = lines_.size() + 1;
}

qsizetype TextLines::length()
{
    updateOffsets();
    return starts_.back() - 1;
}

qsizetype TextLines::offsetOf(TextPos pos)
{
    updateOffsets();
    return starts_[size_t(pos.line)] + pos.column;
}

TextPos TextLines::posAt(qsizetype offset)
{
    updateOffsets();
    if (offset <= 0)
        return {};
    const auto after = std::upper_bound(starts_.begin(), starts_.end() - 1, offset);
    const qsizetype line = after - starts_.begin() - 1;
    return clamp({line, offset - starts_[size_t(line)]});
}

TextPos TextLines::endOf(TextPos from, const QString &text) const
{
    const QStringList lines = split(text);
    if (lines.size() == 1)
        return {from.line, from.column + text.size()};
    return {from.line + lines.size() - 1, lines.back().size()};
}
