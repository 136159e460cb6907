#include "frmPreferences.h"

#include "ProcessTags.h"
#include "frmMain.h"

#include <QCheckBox>
#include <QPushButton>

namespace {

const char *const Frame = "fraDefaultItems";

// clang-format off
const WindowSpec Layout{"frmPreferences", "Preferences", 3900, 4230, FrameStyle::FixedToolWindow, {
    {"fraDefaultItems", ControlKind::Frame, "Default Items To Be Checked Off", 0, 0, 3855, 3735},
    {"chkTitle", ControlKind::CheckBox, "Title", 120, 240, 1095, 195, NoFlags, Frame},
    {"chkKeywords", ControlKind::CheckBox, "Keywords", 120, 480, 1215, 195, NoFlags, Frame},
    {"chkDescription", ControlKind::CheckBox, "Description", 120, 720, 1215, 195, NoFlags, Frame},
    {"chkCopyright", ControlKind::CheckBox, "Copyright", 120, 960, 1215, 195, NoFlags, Frame},
    {"chkRevisitAfter", ControlKind::CheckBox, "Revisit After", 120, 1200, 1215, 195, NoFlags, Frame},
    {"chkCreator", ControlKind::CheckBox, "Creator", 120, 1440, 1095, 195, NoFlags, Frame},
    {"chkEmail", ControlKind::CheckBox, "Email", 120, 1680, 1215, 195, NoFlags, Frame},
    {"chkRefresh", ControlKind::CheckBox, "Refresh", 120, 1920, 1215, 195, NoFlags, Frame},
    {"chkRobot", ControlKind::CheckBox, "Robot", 120, 2160, 1215, 195, NoFlags, Frame},
    {"chkPublisher", ControlKind::CheckBox, "Publisher", 120, 2400, 1095, 195, NoFlags, Frame},
    {"chkContributors", ControlKind::CheckBox, "Contributors", 120, 2640, 1215, 195, NoFlags, Frame},
    {"chkDCTitle", ControlKind::CheckBox, "DC.Title", 120, 2880, 3255, 195, NoFlags, Frame},
    {"chkDCDescription", ControlKind::CheckBox, "DC.Description", 120, 3120, 3375, 195, NoFlags, Frame},
    {"chkIncludeHTML", ControlKind::CheckBox, "Include Leading and Trailing HTML", 120, 3360, 2895, 195, NoFlags, Frame},
    {"cmdSelectAll", ControlKind::Button, "Select &All", 2280, 360, 1455, 315, NoFlags, Frame},
    {"cmdSelectNone", ControlKind::Button, "Select &None", 2280, 720, 1455, 315, NoFlags, Frame},
    // Cancel is an ordinary button here: Esc leaves the window open.
    {"cmdCancel", ControlKind::Button, "&Cancel", 2640, 3840, 1215, 315},
    {"cmdOK", ControlKind::Button, "&OK", 1320, 3840, 1215, 315, DefaultButton},
}};
// clang-format on

}  // namespace

frmPreferences::frmPreferences() : FormWindow(Layout)
{
    onClick("cmdSelectAll", &frmPreferences::cmdSelectAll_Click);
    onClick("cmdSelectNone", &frmPreferences::cmdSelectNone_Click);
    onClick("cmdCancel", &frmPreferences::cmdCancel_Click);
    onClick("cmdOK", &frmPreferences::cmdOK_Click);
}

void frmPreferences::Form_Load()
{
    ProcessTags::LoadDefaultItems(controls_);
}

// The main window's ticks may differ from the defaults: however this window
// closes, the main window gets the stored defaults, whether or not they were
// just changed (and is enabled again by the window mechanism).
void frmPreferences::Form_Unload()
{
    if (frmMain *main = loadedWindow<frmMain>())
        ProcessTags::LoadDefaultItems(main->controls());
}

void frmPreferences::setAllChecks(Qt::CheckState state)
{
    // Every check box of the window, in whatever order they come.
    const auto controls = findChildren<QWidget *>();
    for (QWidget *control : controls) {
        if (auto *box = qobject_cast<QCheckBox *>(control))
            box->setCheckState(state);
    }
}

void frmPreferences::cmdSelectAll_Click()
{
    setAllChecks(Qt::Checked);
}

void frmPreferences::cmdSelectNone_Click()
{
    setAllChecks(Qt::Unchecked);
}

void frmPreferences::cmdOK_Click()
{
    ProcessTags::SaveDefaultItems(controls_);
    close();
}

void frmPreferences::cmdCancel_Click()
{
    close();
}
