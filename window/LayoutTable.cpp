#include "LayoutTable.h"

#include "ClassicStyle.h"
#include "ComboTextBox.h"
#include "MultiLineTextBox.h"
#include "OneLineTextBox.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <cmath>

namespace Twips {

int toPixels(int twips)
{
    return int(std::lround(double(twips) / PerPixel));
}

int fromPixels(int pixels)
{
    return pixels * PerPixel;
}

QRect toPixels(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

}  // namespace Twips

QFont dialogFont()
{
    static const QFont font = [] {
        // Installed under its own name. hasFamily would first run the name
        // through the font configuration's aliases, a walk through all its
        // rules that costs the start-up about 1 % more; and a family standing
        // in for it under an alias is not the font the layout was made for.
        const QString classic = QStringLiteral("MS Sans Serif");
        if (QFontDatabase::families().contains(classic, Qt::CaseInsensitive)) {
            QFont f(classic);
            f.setPointSizeF(8.25);
            return f;
        }
        // Liberation Sans at 96 % of its width sets the captions in the widths
        // the layout gives them; at full width the longest label of the Robot
        // Values window would run past the window's edge.
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPointSizeF(8.25);
        f.setStretch(96);
#ifdef Q_OS_WIN
        // Drawn by Windows' font engine narrowed so, its kerning pairs come
        // out at the wrong scale: the blank after a capital A all but goes
        // ("<META NAME" reads "<METANAME"). The classic font has no kerning.
        f.setKerning(false);
#endif
        return f;
    }();
    return font;
}

namespace {

QString text(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

Qt::Alignment alignment(unsigned flags)
{
    if (flags & AlignRight)
        return Qt::AlignRight | Qt::AlignTop;
    if (flags & AlignCenter)
        return Qt::AlignHCenter | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

QWidget *makeLabel(const ControlSpec &c, QWidget *parent)
{
    auto *label = new QLabel(text(c.caption), parent);
    label->setAlignment(alignment(c.flags));
    label->setWordWrap(c.flags & WordWrap);
    if (c.flags & Link) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
        label->setPalette(palette);
    }
    return label;
}

QWidget *makeMultiLine(const ControlSpec &c, QWidget *parent)
{
    const bool noWrap = c.flags & NoWrap;
    auto *box = new MultiLineTextBox(
        noWrap ? MultiLineTextBox::Wrap::None : MultiLineTextBox::Wrap::AtWords, parent);
    box->setText(text(c.caption));
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    if (noWrap)
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return box;
}

// The program's own one-line box: it keeps texts of any length and lays out
// only what it shows, so that a field holding megabytes takes keys at once.
QWidget *makeTextBox(const ControlSpec &c, QWidget *parent)
{
    auto *box = new OneLineTextBox(parent);
    box->setText(text(c.caption));
    return box;
}

// An editable drop-down list on the same box. Its text stays what was typed:
// the list never completes it, and Enter never adds it to the list.
QWidget *makeComboBox(QWidget *parent)
{
    return new ComboTextBox(parent);
}

// The greyed state comes only from the store: a click on a greyed box ticks
// it, and once a box has left the greyed state, however it left, it is a
// two-state box again and clicks only tick and untick it.
QWidget *makeCheckBox(const ControlSpec &c, QWidget *parent)
{
    auto *box = new QCheckBox(text(c.caption), parent);
    box->setStyle(classicStyle());
    box->setChecked(c.flags & StartsTicked);
    QObject::connect(box, &QCheckBox::stateChanged, box, [box](int state) {
        if (state != Qt::PartiallyChecked)
            box->setTristate(false);
    });
    return box;
}

// Each control is made inside its parent, so that it takes the window's font
// from the start: a text box made on its own would lay itself out in the
// application's font first, loading that font for nothing, and again when it
// joined the window.
QWidget *makeControl(const ControlSpec &c, QWidget *parent)
{
    switch (c.kind) {
    case ControlKind::CheckBox:
        return makeCheckBox(c, parent);
    case ControlKind::TextBox:
        return makeTextBox(c, parent);
    case ControlKind::MultiLineTextBox:
        return makeMultiLine(c, parent);
    case ControlKind::ComboBox:
        return makeComboBox(parent);
    case ControlKind::Button: {
        auto *button = new QPushButton(text(c.caption), parent);
        button->setAutoDefault(false);
        button->setDefault(c.flags & DefaultButton);
        return button;
    }
    case ControlKind::Label:
        return makeLabel(c, parent);
    case ControlKind::Frame: {
        auto *frame = new QGroupBox(text(c.caption), parent);
        frame->setStyle(classicStyle());
        return frame;
    }
    case ControlKind::Picture: {
        auto *picture = new QLabel(parent);
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        picture->setLineWidth(2);
        picture->setFocusPolicy(Qt::StrongFocus);
        return picture;
    }
    case ControlKind::Line: {
        // A one-pixel band filled in the text colour: a stroked line in a
        // one-pixel widget can fall between device pixels at a fractional scale.
        auto *line = new QFrame(parent);
        line->setBackgroundRole(QPalette::WindowText);
        line->setAutoFillBackground(true);
        return line;
    }
    }
    return nullptr;
}

QRect geometry(const ControlSpec &c, const QWidget *control)
{
    if (c.kind == ControlKind::Line)
        return QRect(Twips::toPixels(c.left), Twips::toPixels(c.top), Twips::toPixels(c.width), 1);
    QRect rect = Twips::toPixels(c.left, c.top, c.width, c.height);
    if (c.flags & SizedToText) {
        const int width = control->sizeHint().width();
        if (c.flags & AlignRight)
            rect.setLeft(rect.right() + 1 - width);
        else
            rect.setWidth(width);
    }
    return rect;
}

}  // namespace

void buildControls(QWidget *client, const WindowSpec &table)
{
    client->setFont(dialogFont());
    for (const ControlSpec &c : table.controls) {
        QWidget *parent = c.parent ? client->findChild<QWidget *>(text(c.parent)) : client;
        QWidget *control = makeControl(c, parent ? parent : client);
        control->setObjectName(text(c.name));
        // Changed only now, so that the control inherits the window's font first.
        if (c.flags & (Bold | Link)) {
            QFont f = control->font();
            if (c.flags & Bold)
                f.setWeight(QFont::Bold);
            if (c.flags & Link)
                f.setUnderline(true);
            control->setFont(f);
        }
        if (c.accessibleName) {
            control->setAccessibleName(text(c.accessibleName));
            // A combo box's text is announced by the combo's name too.
            if (auto *combo = qobject_cast<ComboTextBox *>(control))
                combo->textBox()->setAccessibleName(combo->accessibleName());
        }
        control->setGeometry(geometry(c, control));
    }
}
