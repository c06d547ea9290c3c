#include "app/PostedEvents.h"

#include <commctrl.h>

#include "app/MainUi.h"

void PostedEvents::Progress(int done) {
    if (progressBar_) PostMessageW(progressBar_, PBM_SETPOS, static_cast<WPARAM>(done), 0);
}

void PostedEvents::Finished(WPARAM wParam, LPARAM lParam) {
    PostMessageW(g_ui.window, message_, wParam, lParam);
}
