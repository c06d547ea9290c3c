// Fonts of the list: one per row design, the list's own font and the
// header's. Made again after the options dialog and after every batch run.
#pragma once

#include <windows.h>

#include "base/ScopedWin.h"
#include "settings/Settings.h"

// A row design's font at dpi: the system's message font with the design's
// face (when set), the shared size (when above 0; a height at 96 DPI,
// scaled) and the design's style bits. The options dialog's preview uses it
// too.
HFONT CreateDesignFont(const ItemDesign& design, int sharedSize, int dpi);
int DesignIndexForStatus(int status);

class ListFonts {
public:
    // Makes every font from settings for dpi and gives the list, its header
    // and its tooltips theirs (listView may be null).
    void Apply(const Settings& settings, HWND listView, HWND header, int dpi);
    // The font rows of this status are drawn with.
    HFONT ForStatus(int status) const;
    void Release();

private:
    ScopedFont designs_[kDesignCount];
    ScopedFont list_;
    ScopedFont header_;
};
