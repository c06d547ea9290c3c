#include "app/ThumbnailStrip.h"

#include <commctrl.h>

#include <utility>

#include "app/ListViewRows.h"
#include "app/resource.h"
#include "app/RunController.h"
#include "app/StatusBar.h"
#include "app/Texts.h"
#include "base/Messages.h"
#include "filelist/FileList.h"
#include "thumbnail/IconThumbnails.h"
#include "thumbnail/ThumbnailWorker.h"

namespace {

// Startup 10..13: the display at the last exit, which was 0..3.
const int kStartupRemembered = 10;

// The pixels all thumbnails together may take: a 32-bit process that put
// all its memory into pictures could no longer add a row.
const long long kImageBudgetBytes = 768LL << 20;

// Hands each thumbnail to the window's thread, which puts it in place.
class WindowThumbnailSink final : public ThumbnailSink {
public:
    explicit WindowThumbnailSink(HWND window) : window_(window) {}
    void Put(int row, HBITMAP bitmap) override {
        SendMessageW(window_, WM_APP_THUMBNAIL_READY, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(bitmap));
    }

private:
    HWND window_;
};

} // namespace

void ThumbnailStrip::Create(HWND window, HWND listView, std::function<void()> refreshList) {
    window_ = window;
    listView_ = listView;
    refreshList_ = std::move(refreshList);
    int size = settings_.NormalSize;
    images_.reset(ImageList_Create(size, size, ILC_COLOR32, 8, 8));
    ImageList_SetBkColor(images_.get(), CLR_NONE);
    SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));
}

void ThumbnailStrip::Release() {
    if (listView_) SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
    images_.reset();
    listView_ = window_ = nullptr;
}

int ThumbnailStrip::Pixels(int size) const {
    switch (size) {
    case 1: return settings_.SmallSize;
    case 2: return settings_.NormalSize;
    case 3: return settings_.LargeSize;
    default: return 0;
    }
}

// One image per row, as far as the budget and the memory go: the images
// added hold the placeholder. Returns how many rows have an image.
int ThumbnailStrip::GrowImages(int rows, int pixels) {
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
bool ThumbnailStrip::StartRun(int startRow, std::vector<bool> only, UINT statusText) {
    int pixels = Pixels(display_);
    // Rows past the images get none: they show no picture rather than another's.
    int rows = GrowImages(files_.Count(), pixels);
    if (startRow >= rows) {
        ShowLimit();
        return false;
    }
    if (only.size() > static_cast<size_t>(rows)) only.resize(rows);
    int range = rows - startRow;
    if (!only.empty()) {
        range = 0;
        for (bool marked : only) range += marked ? 1 : 0;
    }
    ThumbnailJob job;
    job.startRow = startRow;
    job.endRow = rows;
    job.boxWidth = job.boxHeight = pixels;
    job.only = std::move(only);
    job.options = ThumbnailOptions::From(settings_);
    RunController::Start start;
    start.message = WM_APP_THUMBNAILS_DONE;
    start.statusText = statusText;
    start.cancelHint = true;
    start.progress = range;
    start.priority = THREAD_PRIORITY_HIGHEST;
    start.work = [job = std::move(job), &files = files_, window = window_](Run& run) {
        WindowThumbnailSink sink(window);
        return RunThumbnails(job, files, sink, run);
    };
    start.finished = [this](WPARAM, LPARAM) {
        if (refreshList_) refreshList_();
        ShowLimit();
    };
    return runs_.Begin(std::move(start));
}

// Lays the icons out again for the spacing and image size in force. Wine's
// owner-data icon view keeps the old positions after either changes, which
// piles the pictures up or lets them overlap.
void ThumbnailStrip::Arrange() {
    if (SendMessageW(listView_, LVM_GETVIEW, 0, 0) == LV_VIEW_ICON) SendMessageW(listView_, LVM_ARRANGE, LVA_DEFAULT, 0);
}

// Icon view at the current size, with an empty image list of that size.
void ThumbnailStrip::ShowView() {
    int pixels = Pixels(display_);
    ImageList_RemoveAll(Images());
    SendMessageW(listView_, LVM_SETVIEW, LV_VIEW_ICON, 0);
    ImageList_SetIconSize(Images(), pixels, pixels);
    SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(Images()));
    SetSpacing();
}

void ThumbnailStrip::Off() {
    status_.SetText(1, LoadText(IDS_UPDATING_ICONS));
    display_ = 0;
    files_.RebuildTypeIcons();
    ImageList_RemoveAll(Images());
    SendMessageW(listView_, LVM_SETVIEW, LV_VIEW_DETAILS, 0);
    if (refreshList_) refreshList_(); // the count again where the progress text stood
}

void ThumbnailStrip::ApplyStartup() {
    int startup = settings_.Startup;
    if (startup >= kStartupRemembered) startup -= kStartupRemembered;
    display_ = (startup >= 0 && startup <= 3) ? startup : 2;
    if (display_ != 0) ShowView();
}

void ThumbnailStrip::RememberAtExit() {
    // A bare 4: the options dialog has just chosen "as at the last exit".
    if (settings_.Startup == 4 || settings_.Startup >= kStartupRemembered)
        settings_.Startup = kStartupRemembered + display_;
}

void ThumbnailStrip::SetSize(int size) {
    if (size == display_ || size < 0 || size > 3) return;
    if (size == 0) {
        Off();
        return;
    }
    display_ = size;
    ShowView();
    if (files_.Count() > 0) StartRun(0, {}, IDS_MAKING_THUMBNAILS);
}

void ThumbnailStrip::Rebuild(bool selectedOnly) {
    if (display_ == 0 || files_.Count() == 0) return;
    std::vector<bool> only;
    if (selectedOnly && SendMessageW(listView_, LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
        std::vector<char> selected = RowsInState(listView_, files_.Count(), LVNI_SELECTED);
        only.assign(selected.begin(), selected.end());
    }
    StartRun(0, std::move(only), IDS_REMAKING_THUMBNAILS);
}

bool ThumbnailStrip::StartForNewRows(int firstRow) {
    if (display_ == 0 || firstRow < 0 || firstRow >= files_.Count()) return false;
    SetSpacing();
    return StartRun(firstRow, {}, IDS_MAKING_THUMBNAILS);
}

void ThumbnailStrip::ApplyOptions(int pixelsBefore) {
    int pixels = Pixels(display_);
    if (display_ == 0) {
        status_.SetText(1, LoadText(IDS_UPDATING_ICONS));
        files_.RebuildTypeIcons();
    } else if (pixels != pixelsBefore) {
        // Thumbnails of another size are made again: the image list takes
        // the new size and the rebuild command redraws them all.
        ImageList_SetIconSize(Images(), pixels, pixels);
        SendMessageW(listView_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(Images()));
        PostMessageW(window_, WM_COMMAND, ID_THUMBNAIL_REBUILD_ALL, 0);
    }
    SetSpacing();
}

void ThumbnailStrip::SetSpacing() {
    int pixels = Pixels(display_);
    int cx = settings_.SpacingX == -1 ? -1 : pixels + settings_.SpacingX;
    int cy = settings_.SpacingY == -1 ? -1 : pixels + settings_.SpacingY;
    if (cx == -1 || cy == -1) {
        // The control takes -1 only for both axes at once: restore its
        // default, read it back, and keep the other axis's own value.
        SendMessageW(listView_, LVM_SETICONSPACING, 0, static_cast<LPARAM>(-1));
        if (cx == -1 && cy == -1) {
            Arrange();
            return;
        }
        DWORD standard = static_cast<DWORD>(SendMessageW(listView_, LVM_GETITEMSPACING, FALSE, 0));
        if (cx == -1) cx = LOWORD(standard);
        if (cy == -1) cy = HIWORD(standard);
    }
    SendMessageW(listView_, LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy));
    Arrange();
}

void ThumbnailStrip::ShowLimit() {
    int images = ImageList_GetImageCount(Images());
    if (display_ != 0 && images < files_.Count()) status_.SetText(0, FormatText(IDS_THUMBNAILS_LIMITED, images));
}

void ThumbnailStrip::OnReady(WPARAM row, LPARAM bitmap) {
    if (static_cast<int>(row) >= ImageList_GetImageCount(Images())) return;
    ImageList_Replace(Images(), static_cast<int>(row), reinterpret_cast<HBITMAP>(bitmap), nullptr);
    SendMessageW(listView_, LVM_REDRAWITEMS, row, row);
}

// A copy of image index as a bitmap of its own (the image list's own copy
// is not dependable on every platform).
ScopedBitmap ThumbnailStrip::CopyImage(int index) const {
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

bool ThumbnailStrip::PicturesFollowRows(int rows) {
    if (display_ == 0 || !images_) return false;
    if (ImageList_GetImageCount(Images()) == rows) return true;
    ImageList_RemoveAll(Images());
    return false;
}

void ThumbnailStrip::FollowReorder(const std::vector<int>& order) {
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

void ThumbnailStrip::FollowRemoval(const std::vector<char>& removed) {
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

void ThumbnailStrip::Cleared() {
    if (display_ != 0 && images_) ImageList_RemoveAll(Images());
}
