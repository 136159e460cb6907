#pragma once
// Characters as a reader sees them, where Qt 6.4's text engine splits them.
// Its layouts and boundary finder put a caret stop inside a surrogate pair
// after an Indic letter, and pair regional indicators (two of them make a
// flag: U+1F1EB U+1F1F7 is the French one) from the wrong one after an emoji,
// or from wherever the text they were given starts. A flag is the two
// indicators counted from the start of their run: of three in a row, the
// first two are a flag and the third stands alone. Everything else is left
// to Qt.

#include <QString>

#include <utility>

namespace graphemes {

// Whether `column` of `line` is between two characters; `qtSays` is Qt's
// answer, which stands where no pair is concerned.
bool isBoundary(const QString &line, qsizetype column, bool qtSays);

// `column` moved out of a surrogate pair or a flag it splits: to its start
// (direction < 0) or its end (direction > 0); any other column as it is.
// Counting a run of indicators back stops at `known`, a column known to be
// between two characters.
qsizetype outOfPair(const QString &line, qsizetype column, int direction, qsizetype known = 0);

// The character holding `column` (< line.size()), found within `reach`
// units either side: [start, end).
std::pair<qsizetype, qsizetype> around(const QString &line, qsizetype column, qsizetype reach);

}  // namespace graphemes
