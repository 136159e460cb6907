// The box's text, editing, undo, caret and keys.

#include "MultiLineTextBox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethod>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace {

// Text a key types; a character beyond the BMP comes as a surrogate pair.
bool isTyped(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(),
                                          [](QChar c) { return c.isPrint() || c.isSurrogate(); });
}

}  // namespace

MultiLineTextBox::MultiLineTextBox(Wrap wrap, QWidget *parent)
    : QAbstractScrollArea(parent), wrap_(wrap)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    if (wrap == Wrap::AtWords)
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layOutAll();
}

// ---- Text and editing -------------------------------------------------------

void MultiLineTextBox::setText(const QString &text)
{
    const QString removed = QAccessible::isActive() ? lines_.text() : QString();
    lines_.setText(text);
    undo_.clear();
    redo_.clear();
    mergeable_ = false;
    cursor_ = anchor_ = TextPos();
    layOutAll();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    notifyAccessible(TextPos(), removed, QAccessible::isActive() ? lines_.text() : QString());
    emit textChanged();
}

void MultiLineTextBox::insertText(const QString &text)
{
    replace(selectionStart(), selectionEnd(), text);
}

QString MultiLineTextBox::selectedText() const
{
    return lines_.text(selectionStart(), selectionEnd());
}

void MultiLineTextBox::replace(TextPos from, TextPos to, const QString &text, EditKind kind)
{
    if (to < from)
        std::swap(from, to);
    const Edit edit{from, lines_.text(from, to), text, kind};
    if (edit.removed.isEmpty() && text.isEmpty())
        return;
    const bool mergeable = mergeable_;  // apply moves the caret, which clears it
    apply(from, to, text);
    record(edit, mergeable);
}

// Every change of the text but setText comes through here.
void MultiLineTextBox::apply(TextPos from, TextPos to, const QString &text)
{
    const QString removed = QAccessible::isActive() ? lines_.text(from, to) : QString();
    const TextPos end = lines_.replace(from, to, text);
    if (from.line == to.line && end.line == from.line)
        layout_.updateLine(lines_, from.line, from.column, to.column, end.column);
    else
        layout_.replaceLines(lines_, from.line, to.line - from.line + 1, end.line - from.line + 1);
    updateScrollBars();
    setCursor(end);
    // As kept, every kind of line end one "\n", as the offsets count them.
    notifyAccessible(from, removed, QAccessible::isActive() ? lines_.text(from, end) : QString());
    emit textChanged();
}

// Keys typed in a row, and Backspace or Delete pressed in a row, make one
// undo step; moving the caret ends the step (setCursor clears mergeable_).
void MultiLineTextBox::record(const Edit &edit, bool mergeable)
{
    redo_.clear();
    const bool sameKind = !undo_.empty() && undo_.back().kind == edit.kind &&
                          edit.removed.isEmpty() == (edit.kind == EditKind::Typing);
    if (mergeable && sameKind) {
        Edit &last = undo_.back();
        if (edit.kind == EditKind::Typing)
            last.inserted += edit.inserted;
        else if (edit.kind == EditKind::Backspace)
            last = {edit.from, edit.removed + last.removed, QString(), edit.kind};
        else
            last.removed += edit.removed;
    } else {
        undo_.push_back(edit);
    }
    mergeable_ = edit.kind != EditKind::Other;
}

void MultiLineTextBox::undo()
{
    replay(undo_, redo_, true);
}

void MultiLineTextBox::redo()
{
    replay(redo_, undo_, false);
}

// Takes the latest step off one history, applies it backwards (undo) or
// forwards (redo), and keeps it on the other history.
void MultiLineTextBox::replay(std::vector<Edit> &from, std::vector<Edit> &to, bool backwards)
{
    if (from.empty())
        return;
    const Edit edit = from.back();
    from.pop_back();
    const QString &now = backwards ? edit.inserted : edit.removed;
    apply(edit.from, TextLines::endOf(edit.from, now), backwards ? edit.removed : edit.inserted);
    to.push_back(edit);
}

void MultiLineTextBox::selectAll()
{
    setCursor(lines_.end(), TextPos());
    offerSelection();
}

// A selection made by the user becomes the X selection that a middle click
// pastes elsewhere (on systems that have one).
void MultiLineTextBox::offerSelection() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void MultiLineTextBox::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void MultiLineTextBox::cut()
{
    copy();
    insertText(QString());
}

void MultiLineTextBox::paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty())
        insertText(text);
}

void MultiLineTextBox::removeBackward()
{
    if (hasSelection())
        insertText(QString());
    else
        replace(step(cursor_, -1), cursor_, QString(), EditKind::Backspace);
}

void MultiLineTextBox::removeForward()
{
    if (hasSelection())
        insertText(QString());
    else
        replace(cursor_, step(cursor_, 1), QString(), EditKind::Delete);
}

// ---- Caret ------------------------------------------------------------------

void MultiLineTextBox::setCursor(TextPos cursor, TextPos anchor)
{
    cursor_ = lines_.clamp(cursor);
    anchor_ = lines_.clamp(anchor);
    mergeable_ = false;
    goalX_ = -1;
    scrollToCursor();
    restartBlink();
    viewport()->update();
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent event(this, int(lines_.offsetOf(cursor_)));
        QAccessible::updateAccessibility(&event);
    }
}

void MultiLineTextBox::moveTo(TextPos pos, bool select, bool keepGoalX)
{
    const qreal goal = goalX_;
    setCursor(pos, select ? anchor_ : pos);
    if (keepGoalX)
        goalX_ = goal;
}

TextPos MultiLineTextBox::visualMove(qsizetype lines) const
{
    const qsizetype last = layout_.visualLineCount() - 1;
    const qsizetype v = std::clamp<qsizetype>(layout_.visualLineOf(cursor_) + lines, 0, last);
    return {layout_.visualLine(lines_, v).line, layout_.columnAt(lines_, v, goalX_)};
}

// The start or end of the caret's visual line; a wrapped line ends before
// its last character, so that End stays on the line.
TextPos MultiLineTextBox::lineEdge(bool end) const
{
    const TextLayout::VisualLine v = layout_.visualLine(lines_, layout_.visualLineOf(cursor_));
    return {v.line, end ? layout_.lastCaretColumn(lines_, v) : v.start};
}

TextPos MultiLineTextBox::wordEdge(TextPos pos, bool forward) const
{
    const QString &s = lines_.line(pos.line);
    qsizetype c = pos.column;
    if (forward) {
        if (c == s.size())
            return step(pos, 1);
        while (c < s.size() && !s[c].isSpace())
            ++c;
        while (c < s.size() && s[c].isSpace())
            ++c;
        return {pos.line, c};
    }
    if (c == 0)
        return pos.line > 0 ? TextPos{pos.line - 1, lines_.line(pos.line - 1).size()} : pos;
    while (c > 0 && s[c - 1].isSpace())
        --c;
    while (c > 0 && !s[c - 1].isSpace())
        --c;
    return {pos.line, c};
}

void MultiLineTextBox::restartBlink()
{
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        blink_.start(flash / 2, this);
    else
        blink_.stop();
}

void MultiLineTextBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != blink_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    caretShown_ = !caretShown_;
    viewport()->update(characterRect(cursor_).adjusted(-1, 0, 1, 0));
}

void MultiLineTextBox::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void MultiLineTextBox::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    viewport()->update();
}

// ---- Keys -------------------------------------------------------------------

bool MultiLineTextBox::event(QEvent *event)
{
    // Keys the box uses itself win over shortcuts of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Alt with a letter stays an access key of the window.
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if ((isTyped(key->text()) && plain) || key->matches(QKeySequence::Copy) ||
            key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste) ||
            key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->matches(QKeySequence::SelectAll) || key->key() == Qt::Key_Home ||
            key->key() == Qt::Key_End || key->key() == Qt::Key_Backspace ||
            key->key() == Qt::Key_Delete) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void MultiLineTextBox::keyPressEvent(QKeyEvent *event)
{
    if (handleEditKey(event) || handleMoveKey(event))
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        insertText(QStringLiteral("\n"));
        return;
    }
    // AltGr reports Control and Alt together on some systems.
    const bool control = (modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier);
    if (isTyped(event->text()) && !control) {
        replace(selectionStart(), selectionEnd(), event->text(), EditKind::Typing);
        return;
    }
    event->ignore();
}

bool MultiLineTextBox::handleEditKey(QKeyEvent *event)
{
    // Both common redo keys, whichever the platform's key scheme names.
    const QKeyCombination pressed = event->keyCombination();
    const bool redoKey =
        pressed == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
        pressed == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::Cut))
        cut();
    else if (event->matches(QKeySequence::Paste))
        paste();
    else if (event->matches(QKeySequence::Undo))
        undo();
    else if (event->matches(QKeySequence::Redo) || redoKey)
        redo();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (event->matches(QKeySequence::DeleteStartOfWord) && !hasSelection())
        replace(wordEdge(cursor_, false), cursor_, QString());
    else if (event->matches(QKeySequence::DeleteEndOfWord) && !hasSelection())
        replace(cursor_, wordEdge(cursor_, true), QString());
    else if (event->key() == Qt::Key_Backspace)
        removeBackward();
    else if (event->key() == Qt::Key_Delete && !(event->modifiers() & Qt::ShiftModifier))
        removeForward();
    else
        return false;
    return true;
}

bool MultiLineTextBox::handleMoveKey(QKeyEvent *event)
{
    const bool select = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const bool collapse = hasSelection() && !select;
    const int pageLines = visibleLines();
    switch (event->key()) {
    case Qt::Key_Left:
        moveTo(collapse  ? selectionStart()
               : control ? wordEdge(cursor_, false)
                         : step(cursor_, -1),
               select);
        break;
    case Qt::Key_Right:
        moveTo(collapse  ? selectionEnd()
               : control ? wordEdge(cursor_, true)
                         : step(cursor_, 1),
               select);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const bool page = event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
        const bool up = event->key() == Qt::Key_Up || event->key() == Qt::Key_PageUp;
        if (goalX_ < 0)
            goalX_ = layout_.x(lines_, cursor_);
        const int lines = (page ? pageLines : 1) * (up ? -1 : 1);
        if (page)
            verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
        moveTo(visualMove(lines), select, true);
        break;
    }
    case Qt::Key_Home:
        moveTo(control ? TextPos() : lineEdge(false), select);
        break;
    case Qt::Key_End:
        moveTo(control ? lines_.end() : lineEdge(true), select);
        break;
    default:
        return false;
    }
    if (select)
        offerSelection();
    return true;
}

// One character on, over a line end, and never into a surrogate pair.
TextPos MultiLineTextBox::step(TextPos pos, int direction) const
{
    const QString &s = lines_.line(pos.line);
    if (direction < 0) {
        if (pos.column == 0)
            return pos.line > 0 ? TextPos{pos.line - 1, lines_.line(pos.line - 1).size()} : pos;
        return {pos.line,
                pos.column - (pos.column > 1 && s[pos.column - 1].isLowSurrogate() &&
                                      s[pos.column - 2].isHighSurrogate()
                                  ? 2
                                  : 1)};
    }
    if (pos.column == s.size())
        return pos.line + 1 < lines_.lineCount() ? TextPos{pos.line + 1, 0} : pos;
    return {pos.line,
            pos.column + (pos.column + 1 < s.size() && s[pos.column].isHighSurrogate() &&
                                  s[pos.column + 1].isLowSurrogate()
                              ? 2
                              : 1)};
}

void MultiLineTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty())
        replace(selectionStart(), selectionEnd(), event->commitString(), EditKind::Typing);
    event->accept();
}

QVariant MultiLineTextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // Only the part of the caret's line around it: a line may be megabytes long.
    const QString &s = lines_.line(cursor_.line);
    const qsizetype from = std::max<qsizetype>(cursor_.column - 256, 0);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    case Qt::ImCursorRectangle:
        return characterRect(cursor_).translated(viewport()->pos());
    case Qt::ImFont:
        return font();
    case Qt::ImSurroundingText:
        return s.mid(from, 512);
    case Qt::ImCursorPosition:
        return int(cursor_.column - from);
    case Qt::ImAnchorPosition:
        return int(anchor_.line == cursor_.line
                       ? std::clamp(anchor_.column - from, qsizetype(0), qsizetype(512))
                       : cursor_.column - from);
    case Qt::ImCurrentSelection:
        return selectedText();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
