// The boxes' text, editing, undo, caret, keys and input methods.

#include "TextBox.h"

#include "Graphemes.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethod>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCharFormat>

#include <algorithm>

namespace {

// Text a key types, judged as Qt's own boxes judge it: formatting
// characters (such as the joiners inside emoji and Indic words) and private
// use characters count; Control alone or with Shift types nothing.
bool isTyped(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c.category() == QChar::Other_Format)
        return true;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ControlModifier ||
        modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    return c.isPrint() || c.category() == QChar::Other_PrivateUse ||
           (c.isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate());
}

// An input method sees this much of the caret's line on either side.
constexpr qsizetype SurroundingReach = 500;

}  // namespace

TextBox::TextBox(Mode mode, QWidget *parent) : QAbstractScrollArea(parent), mode_(mode)
{
    lines_.setOneLine(mode == Mode::OneLine);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAcceptDrops(true);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    if (mode != Mode::Unwrapped)
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (mode == Mode::OneLine)
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layOutAll();
}

// ---- Text and editing -------------------------------------------------------

void TextBox::setText(const QString &text)
{
    layout_.setPreedit({}, QString(), {}, 0, true);
    const bool changed = !lines_.holds(text);
    const QString old = changed && QAccessible::isActive() ? lines_.text() : QString();
    lines_.setText(text);
    ++revision_;
    undo_.clear();
    redo_.clear();
    mergeable_ = false;
    cursor_ = anchor_ = mode_ == Mode::OneLine ? lines_.end() : TextPos();
    layout_.reset();
    layout_.setTop(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    setCursor(cursor_);
    if (!changed)
        return;
    notifyAccessible(TextPos(), old, QAccessible::isActive() ? lines_.text() : QString());
    emit textChanged();
}

void TextBox::insertText(const QString &text)
{
    replace(selectionStart(), selectionEnd(), text);
}

QString TextBox::selectedText() const
{
    return lines_.text(selectionStart(), selectionEnd());
}

void TextBox::replace(TextPos from, TextPos to, const QString &text, EditKind kind)
{
    if (readOnly_ && userEdits_ > 0)
        return;
    if (to < from)
        std::swap(from, to);
    Edit edit{from, lines_.text(from, to), QString(), kind};
    if (edit.removed.isEmpty() && text.isEmpty())
        return;
    const bool mergeable = mergeable_;  // apply moves the caret, which clears it
    const TextPos end = apply(from, to, text);
    // Kept as the text holds it: a "\r" typed and a "\n" typed after it are
    // two line ends, which one "\r\n" would not be.
    edit.inserted = end.line == from.line ? text : lines_.text(from, end);
    record(edit, mergeable);
}

// Every change of the text but setText comes through here.
TextPos TextBox::apply(TextPos from, TextPos to, const QString &text)
{
    layout_.setPreedit({}, QString(), {}, 0, true);
    const QString removed = QAccessible::isActive() ? lines_.text(from, to) : QString();
    const TextPos end = lines_.replace(from, to, text);
    ++revision_;
    if (from.line == to.line && end.line == from.line)
        layout_.lineEdited(from.line, from.column, to.column, end.column);
    else
        layout_.linesReplaced(from.line, to.line - from.line + 1, end.line - from.line + 1);
    updateScrollBars();
    // After the edit: an indicator typed before another makes a flag of them.
    setCursor({end.line, graphemes::outOfPair(lines_.line(end.line), end.column, 1)});
    // As kept, every kind of line end one "\n", as the offsets count them.
    notifyAccessible(from, removed, QAccessible::isActive() ? lines_.text(from, end) : QString());
    emit textChanged();
    if (userEdits_ > 0)
        emit textEdited();
    return end;
}

// Keys typed in a row, and Backspace or Delete pressed in a row, make one
// undo step; moving the caret ends the step (setCursor clears mergeable_).
void TextBox::record(const Edit &edit, bool mergeable)
{
    redo_.clear();
    const bool sameKind = !undo_.empty() && undo_.back().kind == edit.kind &&
                          edit.removed.isEmpty() == (edit.kind == EditKind::Typing);
    // Typing joins the step only where the last piece typed ended: an input
    // method may commit elsewhere (a replacement before the caret).
    const bool follows = edit.kind != EditKind::Typing ||
                         (sameKind && edit.from == lines_.endOf(undo_.back().from,
                                                                undo_.back().inserted));
    if (mergeable && sameKind && follows) {
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

void TextBox::undo()
{
    replay(undo_, redo_, true);
}

void TextBox::redo()
{
    replay(redo_, undo_, false);
}

// Takes the latest step off one history, applies it backwards (undo) or
// forwards (redo), and keeps it on the other history.
void TextBox::replay(std::vector<Edit> &from, std::vector<Edit> &to, bool backwards)
{
    if (from.empty() || (readOnly_ && userEdits_ > 0))
        return;
    const Edit edit = from.back();
    from.pop_back();
    const QString &now = backwards ? edit.inserted : edit.removed;
    const TextPos end = lines_.endOf(edit.from, now);
    // A step that no longer fits the text it would change (a history kept
    // past a new text) is never replayed: the history goes instead.
    if (lines_.clamp(edit.from) != edit.from || lines_.clamp(end) != end || lines_.text(edit.from, end) != now) {
        from.clear();
        to.clear();
        return;
    }
    apply(edit.from, end, backwards ? edit.removed : edit.inserted);
    to.push_back(edit);
}

void TextBox::selectAll()
{
    setCursor(lines_.end(), TextPos());
    offerSelection();
}

// A selection made by the user becomes the X selection that a middle click
// pastes elsewhere (on systems that have one).
void TextBox::offerSelection() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelection() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void TextBox::copy() const
{
    if (hasSelection())
        QGuiApplication::clipboard()->setText(selectedText());
}

void TextBox::cut()
{
    copy();
    insertText(QString());
}

void TextBox::paste()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.isEmpty())
        insertText(text);
}

// Backspace takes one character as stored (a surrogate pair whole), so that
// an accent typed after its letter goes alone, as in Qt's own boxes; a flag
// goes whole, or its first half would make a flag with what follows.
TextPos TextBox::backspaceStart(TextPos pos)
{
    if (pos.column == 0)
        return layout_.previous(pos, QTextLayout::SkipCharacters);
    const QString &s = lines_.line(pos.line);
    const bool pair =
        pos.column > 1 && s[pos.column - 1].isLowSurrogate() && s[pos.column - 2].isHighSurrogate();
    return {pos.line, graphemes::outOfPair(s, pos.column - (pair ? 2 : 1), -1)};
}

void TextBox::removeBackward()
{
    if (hasSelection())
        insertText(QString());
    else
        replace(backspaceStart(cursor_), cursor_, QString(), EditKind::Backspace);
}

// Delete takes a whole character as a reader sees it.
void TextBox::removeForward()
{
    if (hasSelection())
        insertText(QString());
    else
        replace(cursor_, layout_.next(cursor_, QTextLayout::SkipCharacters), QString(),
                EditKind::Delete);
}

// ---- Caret ------------------------------------------------------------------

void TextBox::setCursor(TextPos cursor, TextPos anchor)
{
    if (layout_.hasPreedit())
        layout_.setPreedit({}, QString(), {}, 0, true);
    cursor_ = lines_.clamp(cursor);
    anchor_ = lines_.clamp(anchor);
    mergeable_ = false;
    goalX_ = -1;
    scrollToCursor();
    restartBlink();
    viewport()->update();
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent event(this, int(lines_.offsetOf(cursor_)));
        QAccessible::updateAccessibility(&event);
    }
}

void TextBox::moveTo(TextPos pos, bool select, bool keepGoalX)
{
    const qreal goal = goalX_;
    setCursor(pos, select ? anchor_ : pos);
    if (keepGoalX)
        goalX_ = goal;
}

TextPos TextBox::visualMove(qsizetype rows)
{
    const qsizetype row =
        std::clamp<qsizetype>(layout_.rowOf(cursor_) + rows, 0, layout_.rowCount() - 1);
    return layout_.hit(row, goalX_);
}

// Text an input method is composing is committed before the caret moves
// or the text changes by other means.
void TextBox::endPreedit()
{
    if (!layout_.hasPreedit())
        return;
    QGuiApplication::inputMethod()->commit();
    if (layout_.hasPreedit()) {
        layout_.setPreedit({}, QString(), {}, 0, true);
        viewport()->update();
    }
}

void TextBox::restartBlink()
{
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        blink_.start(flash / 2, this);
    else
        blink_.stop();
}

void TextBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != blink_.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    caretShown_ = !caretShown_;
    viewport()->update(characterRect(cursor_).adjusted(-2, 0, 2, 0));
}

void TextBox::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    endPreedit();
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    viewport()->update();
}

// ---- Keys -------------------------------------------------------------------

bool TextBox::event(QEvent *event)
{
    // Keys the box uses itself win over shortcuts of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        // Alt with a letter stays an access key of the window.
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if ((isTyped(key) && plain) || key->matches(QKeySequence::Copy) ||
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

void TextBox::keyPressEvent(QKeyEvent *event)
{
    endPreedit();
    const UserAction user(this);
    if (handleEditKey(event) || handleMoveKey(event))
        return;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (mode_ == Mode::OneLine)
            event->ignore();
        else
            insertText(QStringLiteral("\n"));
        return;
    }
    // Text typed into a read-only box is left to the window, as in Qt's boxes.
    if (isTyped(event) && !readOnly_) {
        replace(selectionStart(), selectionEnd(), event->text(), EditKind::Typing);
        return;
    }
    event->ignore();
}

bool TextBox::handleEditKey(QKeyEvent *event)
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
        replace(layout_.previous(cursor_, QTextLayout::SkipWords), cursor_, QString());
    else if (event->matches(QKeySequence::DeleteEndOfWord) && !hasSelection())
        replace(cursor_, layout_.next(cursor_, QTextLayout::SkipWords), QString());
    else if (event->key() == Qt::Key_Backspace)
        removeBackward();
    else if (event->key() == Qt::Key_Delete && !(event->modifiers() & Qt::ShiftModifier))
        removeForward();
    else
        return false;
    return true;
}

// Whether the keys follow Windows' scheme (the one whose Redo is Ctrl+Y), as
// Qt's platform theme says. There Left or Right drops a selection and moves on
// from the caret; in the other schemes the first press goes to the
// selection's edge.
namespace {
bool windowsKeyboardScheme()
{
    static const bool windows = QKeySequence::keyBindings(QKeySequence::Redo)
                                    .contains(QKeySequence(Qt::CTRL | Qt::Key_Y));
    return windows;
}
}  // namespace

// Left and Right move as in Qt's own boxes: in the order of the text, which
// on a line written right to left is from right to left.
bool TextBox::handleMoveKey(QKeyEvent *event)
{
    const bool select = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const bool collapse = hasSelection() && !select && !windowsKeyboardScheme();
    const bool rtl = layout_.rightToLeft(cursor_.line);
    const QTextLayout::CursorMode unit =
        control ? QTextLayout::SkipWords : QTextLayout::SkipCharacters;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const bool forward = (event->key() == Qt::Key_Right) != rtl;
        if (collapse && !control)
            moveTo(event->key() == Qt::Key_Left ? selectionStart() : selectionEnd(), false);
        else
            moveTo(forward ? layout_.next(cursor_, unit) : layout_.previous(cursor_, unit), select);
        break;
    }
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (mode_ == Mode::OneLine)
            return false;
        const bool page = event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
        const bool up = event->key() == Qt::Key_Up || event->key() == Qt::Key_PageUp;
        if (goalX_ < 0)
            goalX_ = layout_.x(cursor_);
        const int rows = (page ? visibleRows() : 1) * (up ? -1 : 1);
        if (page)
            layout_.setTop(layout_.top() + rows);
        moveTo(visualMove(rows), select, true);
        break;
    }
    case Qt::Key_Home:
        moveTo(control ? TextPos() : layout_.rowStart(layout_.rowOf(cursor_)), select);
        break;
    case Qt::Key_End:
        moveTo(control ? lines_.end() : layout_.rowEnd(layout_.rowOf(cursor_)), select);
        break;
    default:
        return false;
    }
    if (select)
        offerSelection();
    return true;
}

// ---- Input methods ----------------------------------------------------------

// Applied as Qt's own boxes apply it: the commit string replaces the
// selection, or the range the event names around the caret; the pre-edit
// text is shown at the caret but is not part of the text.
void TextBox::inputMethodEvent(QInputMethodEvent *event)
{
    const UserAction user(this);
    layout_.setPreedit({}, QString(), {}, 0, true);
    const QString &s = lines_.line(cursor_.line);
    const qsizetype windowStart = std::max<qsizetype>(cursor_.column - SurroundingReach, 0);
    TextPos from = selectionStart();
    TextPos to = selectionEnd();
    if (!hasSelection() && (event->replacementStart() != 0 || event->replacementLength() > 0)) {
        const qsizetype start = std::clamp<qsizetype>(cursor_.column + event->replacementStart(),
                                                      0, s.size());
        from = {cursor_.line, start};
        to = {cursor_.line, std::clamp<qsizetype>(start + event->replacementLength(), start,
                                                  s.size())};
    }
    // As in Qt's own boxes, only an event that brings text (committed or being
    // composed) or replaces some takes the selection away; an empty one does not.
    const QString &commit = event->commitString();
    const bool input = !commit.isEmpty() || !event->preeditString().isEmpty() ||
                       event->replacementLength() > 0;
    if (input && (!commit.isEmpty() || from != to))
        replace(from, to, commit, commit.isEmpty() ? EditKind::Other : EditKind::Typing);

    QList<QTextLayout::FormatRange> formats;
    int preeditCursor = int(event->preeditString().size());
    bool cursorVisible = true;
    for (const QInputMethodEvent::Attribute &a : event->attributes()) {
        if (a.type == QInputMethodEvent::Cursor) {
            preeditCursor = a.start;
            cursorVisible = a.length != 0;
        } else if (a.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(a.value).toCharFormat();
            if (format.isValid())
                formats << QTextLayout::FormatRange{a.start, a.length, format};
        } else if (a.type == QInputMethodEvent::Selection) {
            // In the units of the surrounding text the method was given.
            const qsizetype line = cursor_.line;
            const qsizetype start = windowStart + a.start;
            setCursor({line, start + a.length}, {line, start});
        }
    }
    if (!event->preeditString().isEmpty()) {
        layout_.setPreedit(cursor_, event->preeditString(), formats, preeditCursor,
                           cursorVisible);
        updateScrollBars();
        scrollToCursor();
    }
    viewport()->update();
    event->accept();
}

QVariant TextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // Only the part of the caret's line around it: a line may be megabytes
    // long. Never half of a surrogate pair at either end.
    const QString &s = lines_.line(cursor_.line);
    qsizetype from = std::max<qsizetype>(cursor_.column - SurroundingReach, 0);
    if (from > 0 && s[from].isLowSurrogate() && s[from - 1].isHighSurrogate())
        --from;
    qsizetype to = std::min<qsizetype>(cursor_.column + SurroundingReach, s.size());
    if (to < s.size() && s[to].isLowSurrogate() && s[to - 1].isHighSurrogate())
        ++to;
    const auto relative = [&](TextPos p) {
        return int(p.line == cursor_.line ? std::clamp(p.column, from, to) - from
                                          : cursor_.column - from);
    };
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImHints:
        return int(mode_ == Mode::OneLine ? Qt::ImhNone : Qt::ImhMultiLine);
    // Qt asks through a const function, and a place's rectangle may lay out
    // the piece it is in: the two are kept as the caret and the view move.
    case Qt::ImCursorRectangle:
        return QRectF(inputMethodRects_.first.translated(viewport()->pos()));
    case Qt::ImAnchorRectangle:
        return QRectF(inputMethodRects_.second.translated(viewport()->pos()));
    case Qt::ImFont:
        return font();
    case Qt::ImSurroundingText:
        return s.mid(from, to - from);
    case Qt::ImCursorPosition:
        return relative(cursor_);
    case Qt::ImAnchorPosition:
        return relative(anchor_);
    case Qt::ImTextBeforeCursor:
        return s.mid(from, cursor_.column - from);
    case Qt::ImTextAfterCursor:
        return s.mid(cursor_.column, to - cursor_.column);
    case Qt::ImCurrentSelection:
        return selectedText();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
