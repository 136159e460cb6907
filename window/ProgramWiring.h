#pragma once
// What the program installs on the application once, where it starts
// (main.cpp), before its first window: the key filter that every window's
// keys pass through (KeyRouter.h), what a screen reader is told about the
// windows and the text boxes, and the application's style, which reads a
// menu bar's overflow icon only once it is drawn. The window tests install
// the same.

void installProgramWiring();
