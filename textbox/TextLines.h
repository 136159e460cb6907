#pragma once
// The text of a box as a list of lines, without their line ends. Edits
// touch only the lines they change, so that a long text costs nothing for
// an edit elsewhere.

#include <QLatin1String>
#include <QString>
#include <QStringList>

#include <vector>

// A place between two characters: a line and a column in it (in UTF-16 units).
struct TextPos {
    qsizetype line = 0;
    qsizetype column = 0;

    friend bool operator==(TextPos a, TextPos b)
    {
        return a.line == b.line && a.column == b.column;
    }
    friend bool operator!=(TextPos a, TextPos b) { return !(a == b); }
    friend bool operator<(TextPos a, TextPos b)
    {
        return a.line < b.line || (a.line == b.line && a.column < b.column);
    }
    friend bool operator<=(TextPos a, TextPos b) { return !(b < a); }
};

class TextLines {
public:
    // Every kind of line end (CRLF, CR, LF, and the Unicode line and
    // paragraph separators) starts a new line, unless the text is kept as
    // one line: then line ends are characters like the others.
    void setOneLine(bool oneLine) { oneLine_ = oneLine; }
    bool isOneLine() const { return oneLine_; }

    void setText(const QString &text);
    QString text(QLatin1String lineEnd = QLatin1String("\n")) const;
    QString text(TextPos from, TextPos to) const;
    bool isEmpty() const { return lines_.size() == 1 && lines_.front().isEmpty(); }
    // Whether setText(text) would give the text held now.
    bool holds(const QString &text) const;

    qsizetype lineCount() const { return lines_.size(); }
    const QString &line(qsizetype i) const { return lines_[i]; }
    TextPos end() const { return {lines_.size() - 1, lines_.back().size()}; }
    TextPos clamp(TextPos pos) const;

    // Replaces the text between `from` and `to` (from <= to); returns where
    // the inserted text ends.
    TextPos replace(TextPos from, TextPos to, const QString &text);

    // Flat offsets, a line end counting as one character, for readers that
    // see the text as one string (a screen reader, an input method). The
    // offsets of the lines an edit moved are counted again when next asked.
    qsizetype length();
    qsizetype offsetOf(TextPos pos);
    TextPos posAt(qsizetype offset);

    // Where `text` would end if inserted at `from`.
    TextPos endOf(TextPos from, const QString &text) const;

private:
    QStringList split(const QString &text) const;
    void invalidateOffsets(qsizetype fromLine);
    void updateOffsets();

    QStringList lines_{QString()};
    bool oneLine_ = false;
    // The offset of the start of each line, valid for the first
    // validStarts_ lines; made again from the first line an edit touched
    // when next asked for.
    std::vector<qsizetype> starts_{0};
    qsizetype validStarts_ = 1;
};
