#pragma once
// The pieces of lines that are kept laid out by Qt's text engine: every row
// of a tall box of short lines, and the long pieces around the caret, within
// a bound on the memory they take. The least recently used go first.

#include <QHash>
#include <QPair>
#include <QTextLayout>

#include <memory>

class LayoutCache {
public:
    using Key = QPair<qsizetype, qsizetype>;  // line, start of the piece

    // The layout kept for a piece, marked as just used; null if none is.
    QTextLayout *find(Key key);
    bool contains(Key key) const { return cache_.contains(key); }
    // Makes room for a layout of `units` UTF-16 units, then keeps it.
    QTextLayout *keep(Key key, std::unique_ptr<QTextLayout> layout, qsizetype units);
    // Every layout of the lines from `fromLine` to `toLine`, or of all lines.
    void forget(qsizetype fromLine, qsizetype toLine);
    void forgetAll();

private:
    struct Cached {
        std::shared_ptr<QTextLayout> layout;
        quint64 used = 0;
        qsizetype units = 0;
    };

    QHash<Key, Cached> cache_;
    quint64 clock_ = 0;
    qsizetype cachedUnits_ = 0;
};
