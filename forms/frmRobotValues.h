#pragma once
// What the four robot values mean. A help window beside the main window: it
// neither disables the main window nor needs it, and it keeps the program
// running while it is open.

#include "FormWindow.h"

class frmRobotValues : public FormWindow {
    Q_OBJECT

public:
    frmRobotValues();

private:
    void cmdOK_Click();
};
