#include "ComboTextBox.h"

#include "OneLineTextBox.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// As many entries as Qt's combo box shows at once before its list scrolls.
constexpr int MostRowsShown = 10;

// The text box's own handlers, reached past the application's event filters:
// the combo has had the event already, as the focus widget.
bool forward(OneLineTextBox *box, QEvent *event)
{
    return static_cast<QObject *>(box)->event(event);
}

}  // namespace

// The list that drops down: a popup window under the combo (above it where
// the screen ends), closed by F4, Alt+Up or Alt+Down, or as any popup by Esc
// or a press anywhere outside it; Enter or a click chooses the entry.
class ComboPopup : public QFrame {
public:
    explicit ComboPopup(ComboTextBox *combo) : QFrame(combo, Qt::Popup), combo_(combo)
    {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        list_ = new QListWidget(this);
        list_->setFrameStyle(QFrame::NoFrame);
        list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list_->setUniformItemSizes(true);
        list_->setMouseTracking(true);  // the entry under the mouse is the current one
        list_->installEventFilter(this);
        layout->addWidget(list_);
        connect(list_, &QListWidget::itemEntered, list_,
                [this](QListWidgetItem *item) { list_->setCurrentItem(item); });
        connect(list_, &QListWidget::itemClicked, combo_,
                [this](QListWidgetItem *item) { combo_->choose(list_->row(item)); });
    }

    QListWidget *list() const { return list_; }

    void fill(const QStringList &items, int current)
    {
        list_->clear();
        list_->addItems(items);
        list_->setCurrentRow(current);
        if (current >= 0)
            list_->scrollToItem(list_->currentItem());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != list_ || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (list_->currentRow() >= 0)
                combo_->choose(list_->currentRow());
            else
                combo_->hidePopup();
            return true;
        case Qt::Key_F4:
            if (modifiers != Qt::NoModifier)
                return false;
            combo_->hidePopup();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (!(modifiers & Qt::AltModifier))
                return false;
            combo_->hidePopup();
            return true;
        default:
            return false;
        }
    }

    // A press outside closes the list (QWidget does that for a popup). One on
    // the combo's own arrow is not handed on to the arrow afterwards, which
    // would drop the list down again at once.
    void mousePressEvent(QMouseEvent *event) override
    {
        const QPoint onCombo = combo_->mapFromGlobal(event->globalPosition().toPoint());
        if (combo_->arrowRect().contains(onCombo))
            setAttribute(Qt::WA_NoMouseReplay);
        QFrame::mousePressEvent(event);
    }

    void hideEvent(QHideEvent *event) override
    {
        QFrame::hideEvent(event);
        combo_->update();  // the arrow is drawn raised again
    }

private:
    ComboTextBox *combo_;
    QListWidget *list_ = nullptr;
};

ComboTextBox::ComboTextBox(QWidget *parent) : QWidget(parent), textBox_(new OneLineTextBox(this))
{
    textBox_->setFrame(false);
    // As Qt's combo box with its line edit: the combo takes the focus (Tab
    // lands on it, a click in the text gives it the focus) and hands the
    // text its keys, input method events and focus changes.
    textBox_->setFocusProxy(this);
    setFocusPolicy(Qt::WheelFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed, QSizePolicy::ComboBox));
    connect(textBox_, &OneLineTextBox::textChanged, this, &ComboTextBox::textChanged);
    connect(textBox_, &OneLineTextBox::textEdited, this, &ComboTextBox::textEdited);
    placeTextBox();
}

QString ComboTextBox::text() const
{
    return textBox_->text();
}

void ComboTextBox::setText(const QString &text)
{
    textBox_->setText(text);
}

bool ComboTextBox::isEmpty() const
{
    return textBox_->isEmpty();
}

void ComboTextBox::addItem(const QString &text)
{
    items_.append(text);
    updateGeometry();
}

void ComboTextBox::setCurrentIndex(int index)
{
    if (index < -1 || index >= count())
        return;
    current_ = index;
    if (index >= 0)
        textBox_->setText(items_[index]);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, text());
        QAccessible::updateAccessibility(&changed);
    }
}

// The user's choice: shown, and reported even when it was already shown.
void ComboTextBox::choose(int index)
{
    hidePopup();
    setCurrentIndex(index);
    emit textActivated(items_[index]);
}

// Up and Down step from the entry last chosen, and stop at either end.
void ComboTextBox::step(int by)
{
    const int next = current_ + by;
    if (next >= 0 && next < count() && next != current_)
        choose(next);
}

void ComboTextBox::showPopup()
{
    if (items_.isEmpty() || isPopupVisible())
        return;
    if (!popup_)
        popup_ = new ComboPopup(this);
    // A popup is a window of its own: it takes the combo's font only when told.
    popup_->setFont(font());
    popup_->fill(items_, current_);
    const int rows = std::min(count(), MostRowsShown);
    const int frame = popup_->frameWidth();
    QRect geometry(mapToGlobal(QPoint(0, height())),
                   QSize(width(), popup_->list()->sizeHintForRow(0) * rows + 2 * frame));
    const QRect screenRect = screen()->availableGeometry();
    if (geometry.bottom() > screenRect.bottom())
        geometry.moveBottom(mapToGlobal(QPoint(0, 0)).y() - 1);
    popup_->setGeometry(geometry);
    popup_->setAttribute(Qt::WA_NoMouseReplay, false);
    popup_->show();
    popup_->list()->setFocus(Qt::PopupFocusReason);
    update();
}

void ComboTextBox::hidePopup()
{
    if (popup_)
        popup_->hide();
}

bool ComboTextBox::isPopupVisible() const
{
    return popup_ && popup_->isVisible();
}

QListWidget *ComboTextBox::view() const
{
    return popup_ ? popup_->list() : nullptr;
}

void ComboTextBox::initStyleOption(QStyleOptionComboBox *option) const
{
    option->initFrom(this);
    option->editable = true;
    option->frame = true;
    option->subControls = QStyle::SC_All;
    if (isPopupVisible()) {
        option->state |= QStyle::State_On | QStyle::State_Sunken;
        option->activeSubControls = QStyle::SC_ComboBoxArrow;
    } else if (underMouse() && arrowHovered_) {
        option->activeSubControls = QStyle::SC_ComboBoxArrow;
    }
}

QRect ComboTextBox::arrowRect() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
}

void ComboTextBox::placeTextBox()
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    textBox_->setGeometry(
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this));
}

QSize ComboTextBox::sizeHint() const
{
    ensurePolished();
    const QFontMetrics metrics = fontMetrics();
    int width = metrics.horizontalAdvance(QLatin1Char('x')) * 7;
    for (const QString &item : items_)
        width = std::max(width, metrics.horizontalAdvance(item));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize contents(width, std::max(metrics.height(), 14) + 2);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, this);
}

QSize ComboTextBox::minimumSizeHint() const
{
    return sizeHint();
}

bool ComboTextBox::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The text claims the keys it edits with (Ctrl+Z, Ctrl+V...).
        return forward(textBox_, event);
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave: {
        const bool over = event->type() != QEvent::HoverLeave &&
                          arrowRect().contains(static_cast<QHoverEvent *>(event)->position().toPoint());
        if (over != arrowHovered_) {
            arrowHovered_ = over;
            update();
        }
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

void ComboTextBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
}

void ComboTextBox::resizeEvent(QResizeEvent *event)
{
    placeTextBox();
    QWidget::resizeEvent(event);
}

void ComboTextBox::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::LayoutDirectionChange:
        placeTextBox();
        updateGeometry();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

// The keys of the list, as Qt's combo box takes them; every other key is
// the text's.
void ComboTextBox::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        if (modifiers & Qt::ControlModifier)
            break;
        Q_FALLTHROUGH();
    case Qt::Key_PageUp:
        step(-1);
        return;
    case Qt::Key_Down:
        if (modifiers & Qt::AltModifier) {
            showPopup();
            return;
        }
        if (modifiers & Qt::ControlModifier)
            break;
        Q_FALLTHROUGH();
    case Qt::Key_PageDown:
        step(1);
        return;
    case Qt::Key_F4:
        if (modifiers == Qt::NoModifier) {
            showPopup();
            return;
        }
        break;
    default:
        break;
    }
    forward(textBox_, event);
}

void ComboTextBox::keyReleaseEvent(QKeyEvent *event)
{
    forward(textBox_, event);
}

void ComboTextBox::focusInEvent(QFocusEvent *event)
{
    forward(textBox_, event);
    update();
}

void ComboTextBox::focusOutEvent(QFocusEvent *event)
{
    forward(textBox_, event);
    update();
}

void ComboTextBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !isPopupVisible() &&
        arrowRect().contains(event->position().toPoint())) {
        showPopup();
        return;
    }
    event->ignore();
}

// The wheel steps through the entries, as in Qt's combo box.
void ComboTextBox::wheelEvent(QWheelEvent *event)
{
    if (isPopupVisible())
        return;
    const int delta = event->angleDelta().y();
    if (delta != 0)
        step(delta > 0 ? -1 : 1);
    event->accept();
}

// The menu key, or Shift+F10: the text's own menu. (A right click on the
// text reaches the text directly.)
void ComboTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() != QContextMenuEvent::Keyboard) {
        event->ignore();
        return;
    }
    QContextMenuEvent forwarded(event->reason(), textBox_->mapFrom(this, event->pos()),
                                event->globalPos(), event->modifiers());
    forward(textBox_, &forwarded);
}

void ComboTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    forward(textBox_, event);
}

// The text's answer, its rectangles moved from the text's coordinates to the
// combo's, the focus widget's, which the input method reads them in.
QVariant ComboTextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const QVariant answer = static_cast<const QWidget *>(textBox_)->inputMethodQuery(query);
    switch (query) {
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
    case Qt::ImInputItemClipRectangle:
        return answer.toRectF().translated(textBox_->pos());
    default:
        return answer;
    }
}

namespace {

class AccessibleComboTextBox : public QAccessibleWidget {
public:
    explicit AccessibleComboTextBox(ComboTextBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return combo()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        state.expandable = true;
        state.expanded = combo()->isPopupVisible();
        return state;
    }

    QStringList actionNames() const override
    {
        return {showMenuAction()};
    }

    void doAction(const QString &name) override
    {
        if (name == showMenuAction())
            combo()->showPopup();
    }

    QStringList keyBindingsForAction(const QString &name) const override
    {
        return name == showMenuAction() ? QStringList{QStringLiteral("Alt+Down")} : QStringList();
    }

private:
    ComboTextBox *combo() const { return static_cast<ComboTextBox *>(object()); }
};

QAccessibleInterface *comboTextBoxFactory(const QString &, QObject *object)
{
    if (auto *combo = qobject_cast<ComboTextBox *>(object))
        return new AccessibleComboTextBox(combo);
    return nullptr;
}

}  // namespace

void installComboTextBoxAccessibility()
{
    QAccessible::installFactory(comboTextBoxFactory);
}
