#include "WindowControls.h"

#include "ComboTextBox.h"
#include "OneLineTextBox.h"

#include <QCheckBox>

// Qt numbers the states Unchecked 0, PartiallyChecked 1, Checked 2; the
// program's check values are 0 unticked, 1 ticked, 2 greyed.
int WindowControls::checkValue(const QString &checkBoxName) const
{
    const auto *box = window_->findChild<QCheckBox *>(checkBoxName);
    if (!box)
        return ProcessTags::Unticked;
    switch (box->checkState()) {
    case Qt::Checked:
        return ProcessTags::Ticked;
    case Qt::PartiallyChecked:
        return ProcessTags::Greyed;
    case Qt::Unchecked:
        break;
    }
    return ProcessTags::Unticked;
}

void WindowControls::setCheckValue(const QString &checkBoxName, int value)
{
    auto *box = window_->findChild<QCheckBox *>(checkBoxName);
    if (!box)
        return;
    // Only a greyed box offers the third state, and only until it leaves it
    // (see the check boxes in FormLayout.cpp): a click never greys a box.
    if (value == ProcessTags::Greyed)
        box->setTristate(true);
    box->setCheckState(value == ProcessTags::Ticked   ? Qt::Checked
                       : value == ProcessTags::Greyed ? Qt::PartiallyChecked
                                                      : Qt::Unchecked);
}

QString WindowControls::text(const QString &controlName) const
{
    return controlText(window_->findChild<QWidget *>(controlName));
}

void WindowControls::setText(const QString &controlName, const QString &text)
{
    setControlText(window_->findChild<QWidget *>(controlName), text);
}

QString controlText(const QWidget *control)
{
    if (auto *line = qobject_cast<const OneLineTextBox *>(control))
        return line->text();  // shared, not copied
    if (auto *box = qobject_cast<const TextBox *>(control))
        return box->text();
    if (auto *combo = qobject_cast<const ComboTextBox *>(control))
        return combo->text();
    return QString();
}

void setControlText(QWidget *control, const QString &text)
{
    if (auto *box = qobject_cast<TextBox *>(control))
        box->setText(text);
    else if (auto *combo = qobject_cast<ComboTextBox *>(control))
        combo->setText(text);
}

void clearControlText(QWidget *control)
{
    if (auto *combo = qobject_cast<ComboTextBox *>(control))
        combo->setCurrentIndex(-1);  // no entry chosen, as at the start
    setControlText(control, QString());
}

void connectTextChange(QWidget *control, const QObject *context,
                       const std::function<void(bool empty)> &changed)
{
    // The boxes know whether they are empty without copying their text.
    if (auto *box = qobject_cast<TextBox *>(control)) {
        QObject::connect(box, &TextBox::textChanged, context,
                         [changed, box] { changed(box->isEmpty()); });
    } else if (auto *combo = qobject_cast<ComboTextBox *>(control)) {
        // An edit, or an entry chosen from the list (even the one shown).
        const auto rule = [changed, combo] { changed(combo->isEmpty()); };
        QObject::connect(combo, &ComboTextBox::textChanged, context, rule);
        QObject::connect(combo, &ComboTextBox::textActivated, context, rule);
    }
}
