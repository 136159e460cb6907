#include "frmErrors.h"

#include "MultiLineTextBox.h"
#include "ProcessTags.h"

namespace {

// clang-format off
const WindowSpec Layout{"frmErrors", "Errors", 6105, 2460, FrameStyle::FixedToolWindow, {
    {"txtErrors", ControlKind::MultiLineTextBox, nullptr, 120, 120, 5895, 1815, NoFlags, nullptr, "Errors"},
    {"cmdClose", ControlKind::Button, "Cl&ose", 4800, 2040, 1215, 315, DefaultButton | CancelButton},
}};
// clang-format on

}  // namespace

frmErrors::frmErrors() : FormWindow(Layout)
{
    onClick("cmdClose", &frmErrors::cmdClose_Click);
}

void frmErrors::Form_Load()
{
    control<MultiLineTextBox>("txtErrors")->setText(ProcessTags::strErrors);
}

void frmErrors::cmdClose_Click()
{
    close();
}
