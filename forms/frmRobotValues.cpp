#include "frmRobotValues.h"

#include <QPushButton>

namespace {

// The value labels are right-aligned and sized to their text, so that all four
// end at the same place, next to their descriptions.
constexpr unsigned ValueLabel = Bold | AlignRight | SizedToText;

// clang-format off
const WindowSpec Layout{"frmRobotValues", "Robot Values", 5415, 1935, FrameStyle::FixedToolWindow, {
    {"lblNoIndexDescription", ControlKind::Label, "Page is not indexed, but subsidary links are explored", 1320, 480, 3690, 195, SizedToText},
    {"lblNoFollowDescription", ControlKind::Label, "Page is indexed, but subsidary links are not explored", 1320, 840, 3690, 195, SizedToText},
    {"lblAllDescription", ControlKind::Label, "Page is indexed and subsidary links are explored", 1320, 120, 3420, 195, SizedToText},
    {"lblNoneDescription", ControlKind::Label, "Page is not indexed and subsidary links are not explored", 1320, 1200, 3960, 195, SizedToText},
    // Neither default nor cancel button: Enter and space press it because it
    // has the focus, and Esc does nothing.
    {"cmdOK", ControlKind::Button, "&OK", 3960, 1560, 1335, 315},
    {"lblAll", ControlKind::Label, "ALL:", 840, 120, 405, 195, ValueLabel},
    {"lblNoIndex", ControlKind::Label, "NOINDEX:", 330, 480, 915, 195, ValueLabel},
    {"lblNoFollow", ControlKind::Label, "NOFOLLOW:", 135, 840, 1110, 195, ValueLabel},
    {"lblNone", ControlKind::Label, "NONE:", 645, 1200, 600, 195, ValueLabel},
}};
// clang-format on

}  // namespace

frmRobotValues::frmRobotValues() : FormWindow(Layout)
{
    onClick("cmdOK", &frmRobotValues::cmdOK_Click);
    // The only control that can take the focus; it has it from the start.
    control<QPushButton>("cmdOK")->setFocus(Qt::OtherFocusReason);
}

void frmRobotValues::cmdOK_Click()
{
    close();
}
