#include "OneLineTextBox.h"

#include <QFocusEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// Qt's one-line box keeps these between its contents rectangle and the text.
constexpr int HorizontalMargin = 2;
constexpr int VerticalMargin = 1;

}  // namespace

OneLineTextBox::OneLineTextBox(QWidget *parent) : TextBox(Mode::OneLine, parent)
{
    setFrameStyle(QFrame::NoFrame);
    setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::LineEdit));
    updateMargins();
}

void OneLineTextBox::setFrame(bool frame)
{
    frame_ = frame;
    updateMargins();
    updateGeometry();
    update();
}

void OneLineTextBox::initStyleOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = frame_ ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this) : 0;
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

// The text stands where the style puts a one-line box's contents.
void OneLineTextBox::updateMargins()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const QRect all = rect();
    const QMargins margins(contents.left() - all.left(), contents.top() - all.top(),
                           all.right() - contents.right(), all.bottom() - contents.bottom());
    if (margins != viewportMargins())
        setViewportMargins(margins);
}

// Centred as Qt's box centres its text: the font's height in the middle.
QPoint OneLineTextBox::textOrigin() const
{
    const int height = fontMetrics().height();
    return {HorizontalMargin, (viewport()->height() - height + 1) / 2};
}

QSize OneLineTextBox::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const int height = std::max(metrics.height(), std::max(14, iconSize - 2)) + 2 * VerticalMargin;
    const int width = metrics.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * HorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, height), this);
}

QSize OneLineTextBox::minimumSizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics(font());
    const int height = metrics.height() + std::max(2 * VerticalMargin, metrics.leading());
    const int width = metrics.maxWidth() + 2 * HorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, height), this);
}

bool OneLineTextBox::event(QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        QPainter painter(this);
        QStyleOptionFrame option;
        initStyleOption(&option);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
        return true;
    }
    return TextBox::event(event);
}

// As Qt's box: reached by Tab, the whole text is selected, ready to be
// typed over; left for another field, the selection goes.
void OneLineTextBox::focusInEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
         reason == Qt::ShortcutFocusReason) &&
        !hasSelection())
        selectAll();
    TextBox::focusInEvent(event);
}

void OneLineTextBox::focusOutEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && hasSelection())
        setCursor(cursor());
    TextBox::focusOutEvent(event);
}

void OneLineTextBox::resizeEvent(QResizeEvent *event)
{
    updateMargins();
    TextBox::resizeEvent(event);
}

void OneLineTextBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::StyleChange)
        updateMargins();
    TextBox::changeEvent(event);
}
