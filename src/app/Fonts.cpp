#include "app/Fonts.h"

#include <commctrl.h>

#include "app/MainUi.h"
#include "app/ProgramSettings.h"
#include "base/Text.h"
#include "filelist/FileEntry.h"

namespace {

LOGFONTW MessageFont() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    return metrics.lfMessageFont;
}

} // namespace

HFONT CreateDesignFont(const ItemDesign& design, int sharedSize) {
    LOGFONTW font = MessageFont();
    if (design.Font[0] != L'\0') CopyText(font.lfFaceName, design.Font);
    if (sharedSize > 0) font.lfHeight = sharedSize;
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

HFONT DesignFontForStatus(int status) {
    return g_ui.designFonts[DesignIndexForStatus(status)].get();
}

void ApplyFonts() {
    int sharedSize = g_settings.Design[kDesignDefault].FontSize;
    for (int d = 0; d < kDesignCount; ++d) g_ui.designFonts[d].reset(CreateDesignFont(g_settings.Design[d], sharedSize));

    LOGFONTW list = MessageFont();
    if (sharedSize >= 1) list.lfHeight = sharedSize;
    list.lfWeight = FW_BOLD;
    g_ui.listFont.reset(CreateFontIndirectW(&list));
    LOGFONTW header = MessageFont();
    g_ui.headerFont.reset(CreateFontIndirectW(&header));

    if (g_ui.listView == nullptr) return;
    SendMessageW(g_ui.listView, WM_SETFONT, reinterpret_cast<WPARAM>(g_ui.listFont.get()), TRUE);
    SendMessageW(g_ui.header, WM_SETFONT, reinterpret_cast<WPARAM>(g_ui.headerFont.get()), TRUE);
    HWND tips = reinterpret_cast<HWND>(SendMessageW(g_ui.listView, LVM_GETTOOLTIPS, 0, 0));
    if (tips) SendMessageW(tips, WM_SETFONT, reinterpret_cast<WPARAM>(g_ui.headerFont.get()), TRUE);
}
