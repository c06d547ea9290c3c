// Fonts of the list: one per row design, the list's own font and the
// header's. Made again after the options dialog and after every batch run.
#pragma once

#include <windows.h>

#include "base/ScopedWin.h"
#include "settings/Settings.h"

// A row design's font: the system's message font with the design's face
// (when set), the shared size (when above 0) and the design's style bits.
// The options dialog's preview uses it too.
HFONT CreateDesignFont(const ItemDesign& design, int sharedSize);
int DesignIndexForStatus(int status);

class ListFonts {
public:
    // Makes every font from settings and gives the list, its header and its
    // tooltips theirs (listView may be null).
    void Apply(const Settings& settings, HWND listView, HWND header);
    // The font rows of this status are drawn with.
    HFONT ForStatus(int status) const;
    void Release();

private:
    ScopedFont designs_[kDesignCount];
    ScopedFont list_;
    ScopedFont header_;
};
