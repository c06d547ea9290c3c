#include "app/Thumbnails.h"

#include <commctrl.h>

#include <vector>

#include "app/ListViewRows.h"
#include "app/MainUi.h"
#include "app/ProgramSettings.h"
#include "app/resource.h"
#include "app/StatusBar.h"
#include "app/Texts.h"
#include "base/ScopedWin.h"
#include "filelist/FileList.h"
#include "thumbnail/IconThumbnails.h"
#include "thumbnail/ThumbnailWorker.h"

namespace {

// Startup 10..13: the display at the last exit, which was 0..3.
const int kStartupRemembered = 10;

int ThumbnailSize = 0; // the display in force

// Hands each thumbnail to the window's thread, which puts it in place.
class WindowThumbnailSink final : public ThumbnailSink {
public:
    void Put(int row, HBITMAP bitmap) override {
        SendMessageW(g_ui.window, WM_APP_THUMBNAIL_READY, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(bitmap));
    }
};
WindowThumbnailSink g_sink;

HIMAGELIST Images() {
    return g_ui.thumbnailImages.get();
}

// The pixels all thumbnails together may take: a 32-bit process that put
// all its memory into pictures could no longer add a row.
const long long kImageBudgetBytes = 768LL << 20;

// One image per row, as far as the budget and the memory go: the images
// added hold the placeholder. Returns how many rows have an image.
int GrowImages(int rows, int pixels) {
    int images = ImageList_GetImageCount(Images());
    long long affordable = kImageBudgetBytes / (4LL * pixels * pixels);
    int wanted = static_cast<int>(rows < affordable ? rows : affordable);
    // When the image list cannot grow that far, half as far, and so on.
    while (wanted > images && !ImageList_SetImageCount(Images(), static_cast<UINT>(wanted)))
        wanted = images + (wanted - images) / 2;
    if (wanted <= images) return images;
    ScopedBitmap placeholder(PlaceholderThumbnail(pixels, pixels, GetModuleHandleW(nullptr), IDI_PLACEHOLDER));
    for (int i = images; i < wanted; ++i) ImageList_Replace(Images(), i, placeholder.get(), nullptr);
    return wanted;
}

// only: when not empty, the rows to make. statusText: part 1 while it runs.
bool StartThumbnailRun(int startRow, std::vector<bool> only, UINT statusText) {
    int pixels = ThumbnailPixels(ThumbnailSize);
    // Rows past the images get none: they show no picture rather than another's.
    int rows = GrowImages(Files().Count(), pixels);
    if (startRow >= rows) {
        ShowThumbnailLimit();
        return false;
    }
    if (only.size() > static_cast<size_t>(rows)) only.resize(rows);
    int range = rows - startRow;
    if (!only.empty()) {
        range = 0;
        for (bool marked : only) range += marked ? 1 : 0;
    }
    SetStatusText(1, LoadText(statusText).c_str());
    SetStatusText(2, LoadText(IDS_ESC_CANCELS).c_str());
    g_ui.runEvents = PostedEvents(WM_APP_THUMBNAILS_DONE, CreateStatusProgress(range));
    ThumbnailJob job;
    job.startRow = startRow;
    job.endRow = rows;
    job.boxWidth = job.boxHeight = pixels;
    job.only = std::move(only);
    job.options = ThumbnailOptions::From(g_settings);
    auto work = [job = std::move(job)](Run& run) { return RunThumbnails(job, Files(), g_sink, run); };
    if (g_ui.run.Start(std::move(work), g_ui.runEvents, THREAD_PRIORITY_HIGHEST)) return true;
    DestroyStatusProgress();
    SetStatusText(1, L"");
    SetStatusText(2, L"");
    return false;
}

// Lays the icons out again for the spacing and image size in force. Wine's
// owner-data icon view keeps the old positions after either changes, which
// piles the pictures up or lets them overlap.
void ArrangeThumbnails() {
    if (SendMessageW(g_ui.listView, LVM_GETVIEW, 0, 0) == LV_VIEW_ICON)
        SendMessageW(g_ui.listView, LVM_ARRANGE, LVA_DEFAULT, 0);
}

// Icon view at the current size, with an empty image list of that size.
void ShowThumbnailView() {
    int pixels = ThumbnailPixels(ThumbnailSize);
    ImageList_RemoveAll(Images());
    SendMessageW(g_ui.listView, LVM_SETVIEW, LV_VIEW_ICON, 0);
    ImageList_SetIconSize(Images(), pixels, pixels);
    SendMessageW(g_ui.listView, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(Images()));
    SetThumbnailSpacing();
}

void ThumbnailsOff() {
    SetStatusText(1, LoadText(IDS_UPDATING_ICONS).c_str());
    ThumbnailSize = 0;
    Files().RebuildTypeIcons();
    SetStatusText(1, L"");
    ImageList_RemoveAll(Images());
    SendMessageW(g_ui.listView, LVM_SETVIEW, LV_VIEW_DETAILS, 0);
}

} // namespace

int ThumbnailDisplay() {
    return ThumbnailSize;
}

int ThumbnailPixels(int size) {
    switch (size) {
    case 1: return g_settings.SmallSize;
    case 2: return g_settings.NormalSize;
    case 3: return g_settings.LargeSize;
    default: return 0;
    }
}

void ApplyStartupThumbnails() {
    int startup = g_settings.Startup;
    if (startup >= kStartupRemembered) startup -= kStartupRemembered;
    ThumbnailSize = (startup >= 0 && startup <= 3) ? startup : 2;
    if (ThumbnailSize != 0) ShowThumbnailView();
}

void RememberThumbnailsAtExit() {
    // A bare 4: the options dialog has just chosen "as at the last exit".
    if (g_settings.Startup == 4 || g_settings.Startup >= kStartupRemembered)
        g_settings.Startup = kStartupRemembered + ThumbnailSize;
}

void SetThumbnailSize(int size) {
    if (size == ThumbnailSize || size < 0 || size > 3) return;
    if (size == 0) {
        ThumbnailsOff();
        return;
    }
    ThumbnailSize = size;
    ShowThumbnailView();
    if (Files().Count() > 0) StartThumbnailRun(0, {}, IDS_MAKING_THUMBNAILS);
}

void RebuildThumbnails(bool selectedOnly) {
    if (ThumbnailSize == 0 || Files().Count() == 0) return;
    std::vector<bool> only;
    if (selectedOnly && SendMessageW(g_ui.listView, LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
        std::vector<char> selected = RowsInState(g_ui.listView, Files().Count(), LVNI_SELECTED);
        only.assign(selected.begin(), selected.end());
    }
    StartThumbnailRun(0, std::move(only), IDS_REMAKING_THUMBNAILS);
}

bool StartThumbnailsForNewRows(int firstRow) {
    if (ThumbnailSize == 0 || firstRow < 0 || firstRow >= Files().Count()) return false;
    SetThumbnailSpacing();
    return StartThumbnailRun(firstRow, {}, IDS_MAKING_THUMBNAILS);
}

void SetThumbnailSpacing() {
    int pixels = ThumbnailPixels(ThumbnailSize);
    int cx = g_settings.SpacingX == -1 ? -1 : pixels + g_settings.SpacingX;
    int cy = g_settings.SpacingY == -1 ? -1 : pixels + g_settings.SpacingY;
    if (cx == -1 || cy == -1) {
        // The control takes -1 only for both axes at once: restore its
        // default, read it back, and keep the other axis's own value.
        SendMessageW(g_ui.listView, LVM_SETICONSPACING, 0, static_cast<LPARAM>(-1));
        if (cx == -1 && cy == -1) {
            ArrangeThumbnails();
            return;
        }
        DWORD standard = static_cast<DWORD>(SendMessageW(g_ui.listView, LVM_GETITEMSPACING, FALSE, 0));
        if (cx == -1) cx = LOWORD(standard);
        if (cy == -1) cy = HIWORD(standard);
    }
    SendMessageW(g_ui.listView, LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy));
    ArrangeThumbnails();
}

void ShowThumbnailLimit() {
    int images = ImageList_GetImageCount(Images());
    if (ThumbnailSize != 0 && images < Files().Count())
        SetStatusText(0, FormatText(IDS_THUMBNAILS_LIMITED, images).c_str());
}

void OnThumbnailReady(WPARAM row, LPARAM bitmap) {
    if (static_cast<int>(row) >= ImageList_GetImageCount(Images())) return;
    ImageList_Replace(Images(), static_cast<int>(row), reinterpret_cast<HBITMAP>(bitmap), nullptr);
    SendMessageW(g_ui.listView, LVM_REDRAWITEMS, row, row);
}

namespace {

// A copy of image index as a bitmap of its own (the image list's own copy
// is not dependable on every platform).
ScopedBitmap CopyImage(int index) {
    int width = 0, height = 0;
    ImageList_GetIconSize(Images(), &width, &height);
    HDC screen = GetDC(nullptr);
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    {
        ScopedMemoryDC dc(CreateCompatibleDC(screen));
        HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
        ImageList_Draw(Images(), index, dc.get(), 0, 0, ILD_NORMAL);
        SelectObject(dc.get(), old);
    }
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// True when every row of a list of rows rows has its picture; otherwise the
// pictures are dropped.
bool PicturesFollowRows(int rows) {
    if (ThumbnailSize == 0) return false;
    if (ImageList_GetImageCount(Images()) == rows) return true;
    ImageList_RemoveAll(Images());
    return false;
}

} // namespace

void PicturesFollowReorder(const std::vector<int>& order) {
    const int n = static_cast<int>(order.size());
    if (!PicturesFollowRows(n)) return;
    // Each cycle of the permutation is walked once with one picture held aside.
    std::vector<char> placed(n, 0);
    for (int start = 0; start < n; ++start) {
        if (placed[start] || order[start] == start) continue;
        ScopedBitmap held = CopyImage(start);
        int at = start;
        while (order[at] != start) {
            int from = order[at];
            ScopedBitmap picture = CopyImage(from);
            ImageList_Replace(Images(), at, picture.get(), nullptr);
            placed[at] = 1;
            at = from;
        }
        ImageList_Replace(Images(), at, held.get(), nullptr);
        placed[at] = 1;
    }
}

void PicturesFollowRemoval(const std::vector<char>& removed) {
    if (!PicturesFollowRows(static_cast<int>(removed.size()))) return;
    int kept = 0;
    for (int i = 0; i < static_cast<int>(removed.size()); ++i) {
        if (removed[i]) continue;
        if (kept != i) {
            ScopedBitmap picture = CopyImage(i);
            ImageList_Replace(Images(), kept, picture.get(), nullptr);
        }
        ++kept;
    }
    ImageList_SetImageCount(Images(), static_cast<UINT>(kept));
}

void PicturesCleared() {
    if (ThumbnailSize != 0) ImageList_RemoveAll(Images());
}
