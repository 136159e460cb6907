#pragma once
// The main window: eleven fields, the robot combo box, the fourteen item check
// boxes, "Generate Tags" and "Values?", and the File, Form and Help menus.

#include "FormWindow.h"
#include "WindowControls.h"

class frmMain : public FormWindow {
    Q_OBJECT

public:
    frmMain();

    void Form_Load() override;

    // Puts a sample value into every field and ticks the two Dublin Core
    // items that have no field of their own.
    void fillInExamples();
    // Empties every text box and combo box text of the form and unticks every
    // check box; the combo boxes keep their entries.
    static void ClearAll(QWidget *form);

    // The window's controls as the tag engine reads them.
    WindowControls &controls() { return controls_; }

protected:
    void Form_Unload() override;
    bool event(QEvent *event) override;

private:
    void buildMenus();
    void connectTickRules();

    void cmdGenerateTags_Click();
    void cmdRobotValues_Click();
    void mnuPreferences_Click();
    void mnuExit_Click();
    void mnuFillInExamples_Click();
    void mnuReset_Click();
    void mnuClearAll_Click();
    void mnuAbout_Click();

    WindowControls controls_{this};
    bool iconRequested_ = false;
};
