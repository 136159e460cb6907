#pragma once
// The tags window: shows the text of the latest generation, which the user may
// edit before copying it to the clipboard or saving it, and opens the error
// list. The main window stays disabled while it is open.

#include "FormWindow.h"

class frmTags : public FormWindow {
    Q_OBJECT

public:
    frmTags();

    void Form_Load() override;

private:
    QString currentText() const;

    void cmdSave_Click();
    void cmdClose_Click();
    void cmdCopyToClipboard_Click();
    void cmdErrors_Click();
};
