#pragma once
// What the program installs on the application once, where it starts
// (main.cpp), before its first window: the key filter that every window's
// keys pass through (KeyRouter.h) and what a screen reader is told about the
// windows and the text boxes. The window tests install the same.

void installProgramWiring();
