#include "app/RunMessages.h"

#include <commctrl.h>

void RunMessages::Progress(int done) {
    if (progressBar_) PostMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

void RunMessages::Finished(WPARAM wParam, LPARAM lParam) {
    PostMessageW(window_, message_, wParam, lParam);
}
