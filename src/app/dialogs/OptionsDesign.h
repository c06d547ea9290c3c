// The design page's two halves share these: the design being edited, its
// preview, and the colour controls (OptionsDesignColours.cpp).
#pragma once

#include <windows.h>

#include "settings/Settings.h"

// The design the page shows and edits (DesignIndex).
int SelectedDesign();

// Rebuilds that design's preview font from the working copy and redraws the
// preview rows.
void RefreshPreview(HWND page, int design);

// Writes the design's colours into the two colour boxes.
void ShowDesignColours(HWND page, const ItemDesign& design);
// Colour box changes and the "..." choosers; true when handled.
bool OnColourCommand(HWND page, int id, int code);
// The eyedroppers: painting and the mouse; true when handled.
void PaintEyedroppers(HDC dc);
bool OnEyedropperMouse(HWND page, UINT message, LPARAM lParam);
