#include "thumbnail/IconThumbnails.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/ScopedWin.h"
#include "thumbnail/ThumbnailCanvas.h"

namespace {

SIZE IconSize(HICON icon) {
    SIZE size = {0, 0};
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) return size;
    ScopedBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bits = {};
    if (colour && GetObjectW(colour.get(), sizeof(bits), &bits)) {
        size = {bits.bmWidth, bits.bmHeight};
    } else if (mask && GetObjectW(mask.get(), sizeof(bits), &bits)) {
        size = {bits.bmWidth, bits.bmHeight / 2}; // a monochrome icon: mask above image
    }
    return size;
}

} // namespace

HBITMAP TypeIconThumbnail(int boxWidth, int boxHeight, const wchar_t* path) {
    ThumbnailCanvas box(boxWidth, boxHeight);
    if (!box.Valid()) return nullptr;
    SHFILEINFOW info = {};
    auto systemImages = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(
        path, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | SHGFI_LARGEICON));
    ScopedIcon shellIcon(info.hIcon);
    ScopedIcon icon(systemImages ? ImageList_GetIcon(systemImages, info.iIcon, ILD_NORMAL) : nullptr);
    if (icon) {
        SIZE size = IconSize(icon.get());
        SetStretchBltMode(box.dc(), HALFTONE);
        SetBrushOrgEx(box.dc(), 0, 0, nullptr);
        DrawIconEx(box.dc(), (boxWidth - size.cx) / 2, (boxHeight - size.cy) / 2, icon.get(), size.cx, size.cy, 0,
                   nullptr, DI_NORMAL);
    }
    return box.Finish();
}

HBITMAP PlaceholderThumbnail(int boxWidth, int boxHeight, HINSTANCE module, int iconId) {
    ThumbnailCanvas box(boxWidth, boxHeight);
    if (!box.Valid()) return nullptr;
    ScopedIcon icon(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0,
                                                  LR_DEFAULTCOLOR)));
    if (icon) DrawIconEx(box.dc(), 0, 0, icon.get(), 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    return box.Finish();
}
