#pragma once
// A window's layout as data: one row per control, in tab order, with positions
// and sizes in twips (1/1440 inch), and the one function that turns such a
// table into widgets. 15 twips make a logical pixel; Qt's high-DPI scaling
// maps logical pixels to the display, so the layout keeps its meaning there.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

enum class ControlKind {
    CheckBox,
    TextBox,           // one line
    MultiLineTextBox,  // see the Wrap and NoWrap flags
    ComboBox,          // editable drop-down list, no entries
    Button,
    Label,
    Frame,    // group box; controls naming it as parent stand inside it
    Picture,  // a sunken box that shows a picture and can take the focus
    Line,     // a horizontal line from (left, top), width long
};

enum ControlFlag : unsigned {
    NoFlags = 0,
    DefaultButton = 1u << 0,  // Enter presses it
    CancelButton = 1u << 1,   // Esc presses it
    StartsTicked = 1u << 2,
    NoWrap = 1u << 3,         // multi-line: both scroll bars, lines do not wrap
    Bold = 1u << 4,
    AlignRight = 1u << 5,
    AlignCenter = 1u << 6,
    SizedToText = 1u << 7,    // a label as wide as its text (the right edge stays when right-aligned)
    WordWrap = 1u << 8,       // a label that wraps at its width
    Link = 1u << 9,           // a label in blue, underlined
};

struct ControlSpec {
    const char *name;
    ControlKind kind;
    const char *caption;  // or initial text; nullptr for none
    int left, top, width, height;  // twips, from the client area or the parent frame
    unsigned flags = NoFlags;
    const char *parent = nullptr;          // frame name, for controls inside a frame
    const char *accessibleName = nullptr;  // what a screen reader calls a field
};

enum class FrameStyle { FixedSingle, FixedToolWindow };

struct WindowSpec {
    const char *name;
    const char *caption;
    int clientWidth, clientHeight;  // twips
    FrameStyle frameStyle;
    std::vector<ControlSpec> controls;  // in tab order
};

namespace Twips {
constexpr int PerPixel = 15;
int toPixels(int twips);
int fromPixels(int pixels);
QRect toPixels(int left, int top, int width, int height);
}  // namespace Twips

// "MS Sans Serif" 8.25 pt where the system has it; else Liberation Sans at the
// same size and 96 % width, whose widths keep every caption whole in its box.
QFont dialogFont();

// Creates the table's controls as children of `client`, in tab order.
void buildControls(QWidget *client, const WindowSpec &table);
