// The main window's status texts that follow the list: the row count and
// the selection counter.
#include "app/MainWindow.h"

#include <commctrl.h>

#include "app/resource.h"
#include "app/Texts.h"
#include "naming/Clashes.h"

void MainWindow::UpdateListStatus(bool scrollToEnd) {
    files_.SyncView(); // rows added since the view was last told
    SetFocus(listView_);
    int count = static_cast<int>(SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0));
    if (scrollToEnd && count > 0) SendMessageW(listView_, LVM_ENSUREVISIBLE, count - 1, FALSE);
    ShowIdleNotice();
    status_.SetText(1, count > 0 ? FormatText(IDS_TOTAL_FILES, count) : L"");
    if (count > 0) SendMessageW(listView_, LVM_REDRAWITEMS, 0, count - 1);
    UpdateWindow(listView_);
}

void MainWindow::UpdateSelectionCounter() {
    int selected = static_cast<int>(SendMessageW(listView_, LVM_GETSELECTEDCOUNT, 0, 0));
    std::wstring text;
    if (selected > 0)
        text = FormatText(IDS_SELECTED_FILES, selected);
    else if (runs_.WorkerRunning())
        text = LoadText(IDS_ESC_CANCELS);
    status_.SetText(2, text);
}

void MainWindow::ShowIdleNotice() {
    status_.SetText(0, notice_.empty() ? LoadText(IDS_DROP_HERE) : notice_);
}

void MainWindow::ShowNotice(const std::wstring& text) {
    notice_ = text;
    status_.SetText(0, text);
}

void MainWindow::LookAgainAtClashes(int extraRow) {
    ForeseeClashes(files_, DiskCheck::Unsettled, extraRow);
    InvalidateRect(listView_, nullptr, FALSE);
}
