#include "WindowControls.h"

#include "MultiLineTextBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

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
    if (auto *line = qobject_cast<const QLineEdit *>(control))
        return line->text();
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    if (auto *box = qobject_cast<const MultiLineTextBox *>(control))
        return box->text();
    return QString();
}

void setControlText(QWidget *control, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(control))
        line->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setEditText(text);
    else if (auto *box = qobject_cast<MultiLineTextBox *>(control))
        box->setText(text);
}

void clearControlText(QWidget *control)
{
    if (auto *combo = qobject_cast<QComboBox *>(control))
        combo->setCurrentIndex(-1);  // no entry chosen, as at the start
    setControlText(control, QString());
}

void connectTextChange(QWidget *control, const QObject *context,
                       const std::function<void(bool empty)> &changed)
{
    const auto byText = [changed](const QString &text) { changed(text.isEmpty()); };
    if (auto *line = qobject_cast<QLineEdit *>(control)) {
        QObject::connect(line, &QLineEdit::textChanged, context, byText);
    } else if (auto *box = qobject_cast<MultiLineTextBox *>(control)) {
        // The box knows whether it is empty without copying its text.
        QObject::connect(box, &MultiLineTextBox::textChanged, context,
                         [changed, box] { changed(box->isEmpty()); });
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        // An edit, or an entry chosen from the list (even the one shown).
        QObject::connect(combo, &QComboBox::editTextChanged, context, byText);
        QObject::connect(combo, &QComboBox::textActivated, context, byText);
    }
}
