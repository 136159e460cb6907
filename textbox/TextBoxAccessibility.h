#pragma once
// What a screen reader sees of the text boxes and of the combo box built on
// them. The program installs it once, after the application object is made
// and before any box is asked about.

void installTextBoxAccessibility();
