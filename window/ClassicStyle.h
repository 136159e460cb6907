#pragma once
// How the layout tables' check boxes and frames draw. The tables give a check
// box 13 pixels of height in some windows and put a frame's first row right
// under its caption, as the classic controls allow: a 13 x 13 indicator, and
// a frame whose top border runs through the middle of its caption. The
// desktop's own style draws larger indicators and puts the caption above the
// frame, which would clip both; this style, built on the application's style,
// changes only those two things.

class QStyle;

// One shared instance for the running application (it goes with it).
QStyle *classicStyle();
