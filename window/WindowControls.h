#pragma once
// Any window seen as a ProcessTags::ItemControls: its check boxes and text controls
// are found by object name among the window's children, at every call.

#include "ProcessTags.h"

class QWidget;

// Sets a text box's text or a combo box's edit text, as typing would; any
// other kind of control is left alone.
void setControlText(QWidget *control, const QString &text);

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
