// Fonts of the list: one per row design, the list's own font and the
// header's. Re-made after the options dialog and after every batch run.
#pragma once

#include <windows.h>

void ApplyFonts();
// The font rows of this status are drawn with.
HFONT DesignFontForStatus(int status);
int DesignIndexForStatus(int status);
