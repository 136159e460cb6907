#pragma once
// The Preferences window: which of the fourteen items start ticked. It edits a
// copy of the stored defaults; OK stores them, and however the window closes
// the main window shows the stored defaults again.

#include "FormWindow.h"
#include "WindowControls.h"

class frmPreferences : public FormWindow {
    Q_OBJECT

public:
    frmPreferences();

    void Form_Load() override;

protected:
    void Form_Unload() override;

private:
    void cmdSelectAll_Click();
    void cmdSelectNone_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    void setAllChecks(Qt::CheckState state);

    WindowControls controls_{this};
};
