#pragma once
// The errors window: the items of the latest generation that were ticked
// without a value, one a line. The tags window stays disabled while it is open.

#include "FormWindow.h"

class frmErrors : public FormWindow {
    Q_OBJECT

public:
    frmErrors();

    void Form_Load() override;

private:
    void cmdClose_Click();
};
