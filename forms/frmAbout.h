#pragma once
// The About box: the maker's logo, a few words on the program, and links to
// the home page and to the author's mail.

#include "FormWindow.h"

class frmAbout : public FormWindow {
    Q_OBJECT

public:
    frmAbout();

    void Form_Load() override;

private:
    void lblWebsite_Click();
    void lblEmail_Click();
    void cmdOK_Click();

    void openOrSay(const QString &address, const QString &failure);
};
