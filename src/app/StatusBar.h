// The main window's status bar: three parts, and the progress bar a run
// shows over part 0.
//
// Parts 1 and 2 end at a third and a sixth of the width from the right, and
// grow leftwards when their text needs more room, so a count or a hint is
// never cut; part 0 takes what is left.
#pragma once

#include <windows.h>

#include <string>

#include "base/ScopedWin.h"

class StatusBar {
public:
    StatusBar() = default;
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    void Create(HWND parent, int dpi);
    // The message font for dpi, and the parts measured again with it.
    void SetDpi(int dpi);
    HWND Handle() const { return bar_; }
    void Layout(int clientWidth);
    void SetText(int part, const wchar_t* text);
    void SetText(int part, const std::wstring& text) { SetText(part, text.c_str()); }

    // A fresh progress bar over part 0 with range 0..range, step 1.
    HWND CreateProgress(int range);
    // Windows are destroyed by the thread that made them: always the window's.
    void DestroyProgress();
    HWND Progress() const { return progress_; }

    // The window is gone, and its children with it.
    void Forget() {
        bar_ = progress_ = nullptr;
        font_.reset();
    }

private:
    static const int kParts = 3;
    // The width part needs for its text (0 for no text).
    int Needed(int part) const;

    HWND bar_ = nullptr;
    HWND progress_ = nullptr;
    ScopedFont font_;
    int dpi_ = 96;
    int width_ = 0;
    std::wstring texts_[kParts];
    int edges_[kParts] = {};
};
