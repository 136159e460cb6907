// The boxes' drag and drop: text dropped in from another field or another
// program, and the selection dragged out, as Qt's own boxes do.

#include "TextBox.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>

// Runs until the drop, in a loop of its own. Where the text lands decides
// whether it moves or is copied (Ctrl held: copied); another program is
// free to copy it whatever the user did. A read-only box only lends it.
void TextBox::startDrag()
{
    const TextPos from = selectionStart();
    const TextPos to = selectionEnd();
    auto *mime = new QMimeData;
    mime->setText(selectedText());  // the one copy: shared from here on
    auto *drag = new QDrag(this);   // Qt deletes it when done
    drag->setMimeData(mime);
    const quint64 revision = revision_;
    const QPointer<TextBox> self(this);
    draggingOut_ = true;
    const Qt::DropAction action = readOnly_ ? drag->exec(Qt::CopyAction)
                                            : drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    if (!self)
        return;
    const bool movedOut = action == Qt::MoveAction && draggingOut_;  // not within this box
    draggingOut_ = false;
    // Gone to another field or program, the text leaves this box; but if
    // anything changed the text meanwhile, what was dragged may no longer be
    // where it was, and stays.
    if (movedOut && revision == revision_) {
        const UserAction user(this);
        replace(from, to, QString());
    }
}

void TextBox::dragEnterEvent(QDragEnterEvent *event)
{
    takeDrop(event, false);
}

void TextBox::dragMoveEvent(QDragMoveEvent *event)
{
    takeDrop(event, false);
}

void TextBox::dragLeaveEvent(QDragLeaveEvent *)
{
    showDropCaret(false);
}

void TextBox::dropEvent(QDropEvent *event)
{
    takeDrop(event, true);
}

// Takes what is dragged over the box or not, at the place the mouse
// points to as a click would, shown by a drop caret; on a drop, takes it as
// a paste there (one undo step, line ends as a paste keeps them). Never in a
// read-only box (nor a disabled one, which Qt sends no drag to), nor onto
// the selection being dragged out of this box: that would change nothing.
void TextBox::takeDrop(QDropEvent *event, bool drop)
{
    const TextPos at = posAt(event->position().toPoint());
    const TextPos from = selectionStart();
    const TextPos to = selectionEnd();
    const bool move = event->dropAction() == Qt::MoveAction;
    const bool ontoItself = draggingOut_ && from <= at && at <= to && (move || (from < at && at < to));
    // Plain text, or addresses (files from a file manager), which Qt gives
    // as text one a line, as Qt's own boxes take them.
    const bool hasText = event->mimeData() && event->mimeData()->hasText();
    // Only the drop fetches the text from the program it comes from. None
    // came (the program has gone, or gave nothing): refused, so that a
    // program waiting for the answer does not take its text as moved here.
    const QString text = drop && hasText ? event->mimeData()->text() : QString();
    if (readOnly_ || !hasText || ontoItself || (drop && text.isEmpty())) {
        event->ignore();
        showDropCaret(false);
        return;
    }
    event->acceptProposedAction();
    showDropCaret(!drop, at);
    if (!drop)
        return;
    endPreedit();
    const UserAction user(this);
    if (draggingOut_ && move) {
        // Moved within the box: out of its place and in at the drop as one
        // undo step, which Ctrl+Z undoes whole, as in Qt's multi-line box:
        // the text between the two places and the moved text swap places.
        draggingOut_ = false;
        const bool before = at < from;
        const QString between = before ? lines_.text(at, from) : lines_.text(to, at);
        replace(before ? at : from, before ? to : at, before ? text + between : between + text);
        const TextPos start = before ? at : lines_.endOf(from, between);
        setCursor(lines_.endOf(start, text), start);
        return;
    }
    setCursor(at);
    insertText(text);
    if (draggingOut_)  // copied within the box: selected, as Qt's boxes do
        setCursor(cursor_, at);
}

void TextBox::showDropCaret(bool shown, TextPos at)
{
    if (shown == dropShown_ && at == dropAt_)
        return;
    dropShown_ = shown;
    dropAt_ = at;
    viewport()->update();
}
