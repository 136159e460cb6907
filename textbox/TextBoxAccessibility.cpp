// What a screen reader sees of a text box: an editable text with its name,
// its whole text, the caret and the selection, in offsets of the text read
// as one string with "\n" between lines. The character, word, sentence,
// line or paragraph at an offset is found in a bounded stretch of its line,
// so that asking costs the same in a text of any length.

#include "TextBoxAccessibility.h"

#include "ComboTextBox.h"
#include "Graphemes.h"
#include "TextBox.h"

#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

#include <utility>

namespace {

// How far either side of an offset a character, a word or a sentence is looked for.
constexpr qsizetype Reach = 2000;

class TextBoxAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit TextBoxAccessible(TextBox *box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = true;
        s.multiLine = !box()->lines().isOneLine();
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->text();
        return QAccessibleWidget::text(t);
    }

    // QAccessibleTextInterface
    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && box()->hasSelection()) {
            *start = offset(std::min(box()->cursor(), box()->anchor()));
            *end = offset(std::max(box()->cursor(), box()->anchor()));
        }
    }
    int selectionCount() const override { return box()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { box()->setCursor(box()->cursor()); }
    void setSelection(int, int start, int end) override { box()->setCursor(pos(end), pos(start)); }
    int cursorPosition() const override { return offset(box()->cursor()); }
    void setCursorPosition(int position) override { box()->setCursor(pos(position)); }
    QString text(int start, int end) const override
    {
        return box()->lines().text(pos(start), pos(std::max(start, end)));
    }
    int characterCount() const override { return int(box()->length()); }
    QRect characterRect(int offset) const override
    {
        const QRect r = box()->characterRect(pos(offset));
        return QRect(box()->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return offset(box()->posAt(box()->viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = *end = offset;
        return QString();
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *start,
                         int *end) const override
    {
        return answer(itemAt(offset, type), start, end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *start,
                             int *end) const override
    {
        const Range at = itemAt(offset, type);
        return answer(at.first > 0 ? itemAt(int(at.first - 1), type) : Range(0, 0), start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *start,
                            int *end) const override
    {
        const qsizetype length = box()->length();
        const Range at = itemAt(offset, type);
        return answer(at.second < length && at.second > at.first ? itemAt(int(at.second), type)
                                                                 : Range(length, length),
                      start, end);
    }

    // QAccessibleEditableTextInterface
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override
    {
        box()->setCursor(pos(end), pos(start));
        box()->insertText(text);
    }

private:
    using Range = std::pair<qsizetype, qsizetype>;

    TextBox *box() const { return static_cast<TextBox *>(object()); }
    int offset(TextPos p) const { return int(box()->offsetOf(p)); }
    TextPos pos(qsizetype offset) const { return box()->posAtOffset(offset); }

    QString answer(Range range, int *start, int *end) const
    {
        *start = int(range.first);
        *end = int(range.second);
        return box()->lines().text(pos(range.first), pos(range.second));
    }

    // The item holding `offset`; at the very end of the text, the last one
    // (a reader asks for the word at the caret while typing at the end).
    Range itemAt(qsizetype offset, QAccessible::TextBoundaryType type) const
    {
        const TextLines &lines = box()->lines();
        const qsizetype length = box()->length();
        if (type == QAccessible::NoBoundary)
            return {0, length};
        offset = std::clamp<qsizetype>(offset, 0, length);
        if (offset == length) {
            if (type == QAccessible::CharBoundary || length == 0)
                return {length, length};
            --offset;
        }
        const TextPos p = pos(offset);
        const qsizetype lineStart = offset - p.column;
        const QString &s = lines.line(p.line);
        const qsizetype lineEnd = lineStart + s.size();
        const bool lastLine = p.line + 1 == lines.lineCount();
        switch (type) {
        case QAccessible::ParagraphBoundary:
            return {lineStart, lastLine ? lineEnd : lineEnd + 1};
        case QAccessible::LineBoundary: {
            const QPair<TextPos, TextPos> row = box()->rowAround(p);
            const qsizetype rowEnd = lineStart + row.second.column;
            return {lineStart + row.first.column,
                    rowEnd == lineEnd && !lastLine ? rowEnd + 1 : rowEnd};
        }
        default:
            break;
        }
        if (p.column == s.size())
            return {offset, offset + 1};  // the line end itself
        const Range within = type == QAccessible::CharBoundary
                                 ? graphemes::around(s, p.column, Reach)
                                 : itemInLine(s, p.column, type);
        return {lineStart + within.first, lineStart + within.second};
    }

    static Range itemInLine(const QString &s, qsizetype column, QAccessible::TextBoundaryType type)
    {
        qsizetype from = std::max<qsizetype>(column - Reach, 0);
        if (from > 0 && s[from].isLowSurrogate())
            --from;
        qsizetype to = std::min<qsizetype>(column + Reach, s.size());
        if (to < s.size() && s[to].isLowSurrogate())
            ++to;
        const QTextBoundaryFinder::BoundaryType kind =
            type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                              : QTextBoundaryFinder::Sentence;
        QTextBoundaryFinder finder(kind, s.constData() + from, to - from);
        const qsizetype at = column - from;
        finder.setPosition(at);
        // Words: the blanks between two words are an item of their own,
        // as Qt's own text boxes tell them.
        const auto isEdge = [&] {
            return kind != QTextBoundaryFinder::Word ||
                   (finder.boundaryReasons() &
                    (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem));
        };
        qsizetype start = finder.isAtBoundary() ? at : finder.toPreviousBoundary();
        while (start > 0 && !isEdge())
            start = finder.toPreviousBoundary();
        start = std::max<qsizetype>(start, 0);
        finder.setPosition(start);
        qsizetype end = finder.toNextBoundary();
        while (end > 0 && end < to - from && !isEdge())
            end = finder.toNextBoundary();
        if (end <= start)
            end = to - from;
        return {from + start, from + end};
    }
};

QAccessibleInterface *textBoxFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TextBox") && object && object->isWidgetType())
        return new TextBoxAccessible(static_cast<TextBox *>(object));
    return nullptr;
}

}  // namespace

void installTextBoxAccessibility()
{
    QAccessible::installFactory(textBoxFactory);
    installComboTextBoxAccessibility();
}
