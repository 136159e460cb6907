#include "Graphemes.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

bool splitsSurrogates(const QString &s, qsizetype column)
{
    return column > 0 && column < s.size() && s[column - 1].isHighSurrogate() &&
           s[column].isLowSurrogate();
}

// Whether a regional indicator (U+1F1E6 to U+1F1FF) starts at `i`.
bool isIndicator(const QString &s, qsizetype i)
{
    return i >= 0 && i + 1 < s.size() && s[i].unicode() == 0xD83C && s[i + 1].unicode() >= 0xDDE6 &&
           s[i + 1].unicode() <= 0xDDFF;
}

// Whether `column` lies between the two indicators of a flag: an indicator
// on either side, and an odd number of them in a row before it.
bool splitsFlag(const QString &s, qsizetype column, qsizetype known)
{
    if (!isIndicator(s, column) || !isIndicator(s, column - 2))
        return false;
    qsizetype before = 0;
    for (qsizetype i = column - 2; i >= known && isIndicator(s, i); i -= 2)
        ++before;
    return before % 2 == 1;
}

}  // namespace

namespace graphemes {

bool isBoundary(const QString &line, qsizetype column, bool qtSays)
{
    if (splitsSurrogates(line, column))
        return false;
    if (isIndicator(line, column) && isIndicator(line, column - 2))
        return !splitsFlag(line, column, 0);
    return qtSays;
}

qsizetype outOfPair(const QString &line, qsizetype column, int direction, qsizetype known)
{
    const qsizetype step = direction < 0 ? -1 : 1;
    if (splitsSurrogates(line, column))
        column += step;
    if (splitsFlag(line, column, known))
        column += 2 * step;
    return column;
}

std::pair<qsizetype, qsizetype> around(const QString &line, qsizetype column, qsizetype reach)
{
    // Qt's finder is given a stretch that starts between two characters, so
    // that it pairs the indicators it sees as the whole line pairs them.
    const qsizetype from = outOfPair(line, std::max<qsizetype>(column - reach, 0), -1);
    const qsizetype to = outOfPair(line, std::min(column + reach, line.size()), 1);
    QTextBoundaryFinder qt(QTextBoundaryFinder::Grapheme, line.constData() + from, to - from);
    const auto between = [&](qsizetype at) {
        if (at <= from || at >= to)
            return true;
        qt.setPosition(at - from);
        return isBoundary(line, at, qt.isAtBoundary());
    };
    qsizetype start = column;
    while (!between(start))
        --start;
    qsizetype end = column + 1;
    while (!between(end))
        ++end;
    return {start, end};
}

}  // namespace graphemes
