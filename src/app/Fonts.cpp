#include "app/Fonts.h"

#include <commctrl.h>

#include "app/Dpi.h"
#include "base/Text.h"
#include "filelist/FileEntry.h"

HFONT CreateDesignFont(const ItemDesign& design, int sharedSize, int dpi) {
    LOGFONTW font = MessageFontFor(dpi);
    if (design.Font[0] != L'\0') CopyText(font.lfFaceName, design.Font);
    if (sharedSize > 0) font.lfHeight = Scaled(sharedSize, dpi);
    font.lfWeight = (design.FontStyle & kFontBold) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (design.FontStyle & kFontItalic) ? TRUE : FALSE;
    font.lfUnderline = (design.FontStyle & kFontUnderline) ? TRUE : FALSE;
    font.lfStrikeOut = (design.FontStyle & kFontStrikeOut) ? TRUE : FALSE;
    return CreateFontIndirectW(&font);
}

int DesignIndexForStatus(int status) {
    if (status == kStatusNone) return kDesignDefault;
    if (status == kStatusReady) return kDesignReady;
    if (status == kStatusRenamed) return kDesignRenamed;
    return kDesignFailed;
}

HFONT ListFonts::ForStatus(int status) const {
    return designs_[DesignIndexForStatus(status)].get();
}

void ListFonts::Apply(const Settings& settings, HWND listView, HWND header, int dpi) {
    int sharedSize = settings.Design[kDesignDefault].FontSize;
    for (int d = 0; d < kDesignCount; ++d) designs_[d].reset(CreateDesignFont(settings.Design[d], sharedSize, dpi));

    LOGFONTW list = MessageFontFor(dpi);
    if (sharedSize >= 1) list.lfHeight = Scaled(sharedSize, dpi);
    list.lfWeight = FW_BOLD;
    list_.reset(CreateFontIndirectW(&list));
    LOGFONTW headerFont = MessageFontFor(dpi);
    header_.reset(CreateFontIndirectW(&headerFont));

    if (listView == nullptr) return;
    SendMessageW(listView, WM_SETFONT, reinterpret_cast<WPARAM>(list_.get()), TRUE);
    SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(header_.get()), TRUE);
    HWND tips = reinterpret_cast<HWND>(SendMessageW(listView, LVM_GETTOOLTIPS, 0, 0));
    if (tips) SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(header_.get()), TRUE);
}

void ListFonts::Release() {
    for (ScopedFont& font : designs_) font.reset();
    list_.reset();
    header_.reset();
}
