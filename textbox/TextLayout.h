#pragma once
// Where the characters of a TextLines stand on screen: lines broken into
// visual lines at the box's width (or not at all), and the x of a column.
// A line is laid out by adding up cached character advances, so that the
// cost of an edit grows with the part of one line after the edit, and the
// cost of drawing with what is visible.

#include "TextLines.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>

#include <limits>
#include <memory>
#include <vector>

class TextLayout {
public:
    // One visual line: a line's columns [start, end).
    struct VisualLine {
        qsizetype line = 0;
        qsizetype start = 0;
        qsizetype end = 0;
    };

    void setFont(const QFont &font);
    // A width of 0 or less: lines do not wrap.
    void setWrapWidth(qreal width);
    bool wraps() const { return wrapWidth_ > 0; }

    void layOutAll(const TextLines &text);
    // In `line`, columns [column, removedTo) became [column, insertedTo).
    void updateLine(const TextLines &text, qsizetype line, qsizetype column, qsizetype removedTo,
                    qsizetype insertedTo);
    // Lines [first, first + oldCount) were replaced by [first, first + newCount).
    void replaceLines(const TextLines &text, qsizetype first, qsizetype oldCount,
                      qsizetype newCount);

    qsizetype visualLineCount() const;
    VisualLine visualLine(const TextLines &text, qsizetype index) const;
    qsizetype visualLineOf(TextPos pos) const;
    // The x of a column from the left edge of its visual line. The first form
    // finds that line itself, and a wrapped line's end column is the next
    // line's start; the second measures within the line given, up to its end.
    qreal x(const TextLines &text, TextPos pos) const;
    qreal x(const TextLines &text, const VisualLine &v, qsizetype column) const;
    // The last column the caret takes on a visual line. A wrapped line's end
    // is the next line's start, so the caret stops before the line's last
    // character there: the blank it broke at, or the last letter of a word
    // too wide for the box.
    qsizetype lastCaretColumn(const TextLines &text, const VisualLine &v) const;
    // The column nearest to `x` in the visual line, at most lastCaretColumn.
    qsizetype columnAt(const TextLines &text, qsizetype visualLine, qreal x) const;
    // The widest line, for sideways scrolling when lines do not wrap.
    qreal maxWidth() const { return maxWidth_; }

private:
    struct Paragraph {
        std::vector<qsizetype> starts{0};  // wrapping: where each visual line starts
        std::vector<qreal> chunkX{0};      // no wrapping: the x of every ChunkSize-th column
        qreal width = 0;
    };

    qreal advance(const QString &s, qsizetype i) const;
    qreal pairAdvance(const QString &s, qsizetype i) const;
    qreal width(const QString &s, qsizetype from, qsizetype to) const;
    // After an edit, the text from `from` on is the old text from `from - delta`
    // on, whose visual lines started at `oldStarts`.
    struct Tail {
        qsizetype from = std::numeric_limits<qsizetype>::max();
        qsizetype delta = 0;
        std::vector<qsizetype> oldStarts;
    };

    void wrap(const QString &s, Paragraph &p, qsizetype fromLine, const Tail &tail) const;
    static bool reuseTail(Paragraph &p, qsizetype lineStart, const Tail &tail);
    void measure(const QString &s, Paragraph &p, qsizetype fromChunk) const;
    void layOut(const QString &s, Paragraph &p, qsizetype column, const Tail &tail) const;
    void countVisualLines(qsizetype fromLine);
    void findMaxWidth();

    std::unique_ptr<QFontMetricsF> metrics_;
    mutable std::vector<float> bmpAdvance_;  // per UTF-16 unit, filled on first use; < 0: unknown
    mutable QHash<char32_t, float> pairAdvance_;  // per character beyond the BMP
    qreal wrapWidth_ = 0;
    std::vector<Paragraph> paragraphs_{1};
    std::vector<qsizetype> firstVisual_{0};  // wrapping: the first visual line of each line
    qreal maxWidth_ = 0;
};
