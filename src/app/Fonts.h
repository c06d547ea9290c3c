// Fonts of the list: one per row design, the list's own font and the
// header's. Re-made after the options dialog and after every batch run.
#pragma once

#include <windows.h>

#include "settings/Settings.h"

void ApplyFonts();
// A row design's font: the system's message font with the design's face
// (when set), the shared size (when above 0) and the design's style bits.
// The options dialog's preview uses it too.
HFONT CreateDesignFont(const ItemDesign& design, int sharedSize);
// The font rows of this status are drawn with.
HFONT DesignFontForStatus(int status);
int DesignIndexForStatus(int status);
