#pragma once
// Any window seen as a ProcessTags::ItemControls: its check boxes and text controls
// are found by object name among the window's children, at every call.

#include "ProcessTags.h"

#include <functional>

class QObject;
class QWidget;

// The one place that knows how each kind of text control holds its text.
// The text of a text box or of a combo box's text field; empty for any other
// kind of control.
QString controlText(const QWidget *control);
// Sets a text box's text or a combo box's text, as a program sets it (its
// change signals run, as they do for an edit); any other kind of control is
// left alone.
void setControlText(QWidget *control, const QString &text);
// Empties a text control; a combo box keeps its entries, none of them chosen.
void clearControlText(QWidget *control);
// Calls `changed` after every change of a text control's text, however it
// came (typed, pasted, set by the program, chosen from a list), with whether
// the text is now empty. The connection ends with `context`.
void connectTextChange(QWidget *control, const QObject *context,
                       const std::function<void(bool empty)> &changed);

class WindowControls final : public ProcessTags::ItemControls {
public:
    explicit WindowControls(QWidget *window) : window_(window) {}

    int checkValue(const QString &checkBoxName) const override;
    void setCheckValue(const QString &checkBoxName, int value) override;
    QString text(const QString &controlName) const override;
    void setText(const QString &controlName, const QString &text);

private:
    QWidget *window_;
};
