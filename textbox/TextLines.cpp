#include "TextLines.h"

#include <algorithm>

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator;
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineEnd(text[i]))
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    lines << text.mid(start);
    return lines;
}

}  // namespace

void TextLines::setText(const QString &text)
{
    lines_ = splitLines(text);
}

QString TextLines::text(QLatin1String lineEnd) const
{
    if (lines_.size() == 1)
        return lines_.front();  // shared, not copied: a long line is read often
    return lines_.join(lineEnd);
}

QString TextLines::text(TextPos from, TextPos to) const
{
    if (from.line == to.line)
        return lines_[from.line].mid(from.column, to.column - from.column);
    QString result = lines_[from.line].mid(from.column);
    for (qsizetype i = from.line + 1; i < to.line; ++i)
        result += QLatin1Char('\n') + lines_[i];
    return result + QLatin1Char('\n') + lines_[to.line].left(to.column);
}

TextPos TextLines::clamp(TextPos pos) const
{
    pos.line = std::clamp<qsizetype>(pos.line, 0, lines_.size() - 1);
    pos.column = std::clamp<qsizetype>(pos.column, 0, lines_[pos.line].size());
    return pos;
}

TextPos TextLines::replace(TextPos from, TextPos to, const QString &text)
{
    // A single line edited in place keeps its other lines untouched (and a
    // long line is not copied).
    if (from.line == to.line && !std::any_of(text.begin(), text.end(), isLineEnd)) {
        lines_[from.line].replace(from.column, to.column - from.column, text);
        return {from.line, from.column + text.size()};
    }
    QStringList inserted = splitLines(text);
    const QString tail = lines_[to.line].mid(to.column);
    inserted.front().prepend(lines_[from.line].left(from.column));
    const TextPos end{from.line + inserted.size() - 1, inserted.back().size()};
    inserted.back() += tail;
    // One move of the lines after the edit, however many lines come in.
    lines_.remove(from.line, to.line - from.line + 1);
    lines_.insert(from.line, inserted.size(), QString());
    for (qsizetype i = 0; i < inserted.size(); ++i)
        lines_[from.line + i] = std::move(inserted[i]);
    return end;
}

qsizetype TextLines::length() const
{
    qsizetype total = lines_.size() - 1;
    for (const QString &line : lines_)
        total += line.size();
    return total;
}

qsizetype TextLines::offsetOf(TextPos pos) const
{
    qsizetype offset = pos.column;
    for (qsizetype i = 0; i < pos.line; ++i)
        offset += lines_[i].size() + 1;
    return offset;
}

TextPos TextLines::posAt(qsizetype offset) const
{
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        if (offset <= lines_[i].size())
            return {i, std::max<qsizetype>(offset, 0)};
        offset -= lines_[i].size() + 1;
    }
    return end();
}

TextPos TextLines::endOf(TextPos from, const QString &text)
{
    const QStringList lines = splitLines(text);
    if (lines.size() == 1)
        return {from.line, from.column + text.size()};
    return {from.line + lines.size() - 1, lines.back().size()};
}
