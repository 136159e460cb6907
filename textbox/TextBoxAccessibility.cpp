// What a screen reader sees of a MultiLineTextBox: an editable text with its
// name, its whole text, the caret and the selection, in offsets of the text
// read as one string with "\n" between lines.

#include "TextBoxAccessibility.h"

#include "MultiLineTextBox.h"

#include <QAccessibleWidget>

namespace {

class TextBoxAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit TextBoxAccessible(MultiLineTextBox *box)
        : QAccessibleWidget(box, QAccessible::EditableText)
    {
    }

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
        s.multiLine = true;
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
    int characterCount() const override { return int(box()->lines().length()); }
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

    // QAccessibleEditableTextInterface
    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override
    {
        box()->setCursor(pos(end), pos(start));
        box()->insertText(text);
    }

private:
    MultiLineTextBox *box() const { return static_cast<MultiLineTextBox *>(object()); }
    int offset(TextPos p) const { return int(box()->lines().offsetOf(p)); }
    TextPos pos(int offset) const { return box()->lines().posAt(offset); }
};

QAccessibleInterface *textBoxFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("MultiLineTextBox") && object && object->isWidgetType())
        return new TextBoxAccessible(static_cast<MultiLineTextBox *>(object));
    return nullptr;
}

}  // namespace

void installTextBoxAccessibility()
{
    QAccessible::installFactory(textBoxFactory);
}
