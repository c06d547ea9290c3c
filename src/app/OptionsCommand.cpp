#include "app/OptionsCommand.h"

#include <commctrl.h>

#include "app/Commands.h"
#include "app/ProgramSettings.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/Fonts.h"
#include "app/ListColumns.h"
#include "app/MainUi.h"
#include "app/resource.h"
#include "app/StatusBar.h"
#include "app/Texts.h"
#include "app/Thumbnails.h"
#include "filelist/FileList.h"

namespace {

void ApplyListColours() {
    COLORREF back = g_settings.Design[kDesignDefault].BackColor;
    SendMessageW(g_ui.listView, LVM_SETBKCOLOR, 0, back);
    SendMessageW(g_ui.listView, LVM_SETTEXTBKCOLOR, 0, back);
}

// Thumbnails of another size are made again: the image list takes the new
// size and the rebuild command redraws them all.
void ApplyThumbnailSettings(int pixelSizeBefore) {
    int pixelSize = ThumbnailPixels(ThumbnailDisplay());
    if (ThumbnailDisplay() == 0) {
        SetStatusText(1, LoadText(IDS_UPDATING_ICONS).c_str());
        Files().RebuildTypeIcons();
    } else if (pixelSize != pixelSizeBefore) {
        ImageList_SetIconSize(g_ui.thumbnailImages.get(), pixelSize, pixelSize);
        SendMessageW(g_ui.listView, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(g_ui.thumbnailImages.get()));
        PostMessageW(g_ui.window, WM_COMMAND, kCmdRebuildAllThumbnails, 0);
    }
    SetThumbnailSpacing();
}

} // namespace

void OpenOptions(HWND window, int startPage) {
    if (g_ui.optionsOpen) return;
    int pixelSizeBefore = ThumbnailPixels(ThumbnailDisplay());
    // OK saves at once: with the columns as they are shown, not as loaded.
    StoreColumnOrder();
    g_ui.optionsOpen = true;
    int result = ShowOptionsDialog(window, startPage);
    g_ui.optionsOpen = false;
    if (result == 1) {
        ApplyFonts();
        ApplyListColours();
        ApplyThumbnailSettings(pixelSizeBefore);
    }
    UpdateListStatus(false);
}
