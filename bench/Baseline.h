#pragma once
// The baseline for the start figures: a bare Qt window of the main window's
// size with the same kinds and numbers of widgets and the same menu bar,
// built by hand, with no settings, no layout table and no window mechanism.

class QWidget;

QWidget *makeBaselineWindow();
