// The main window's status bar: three parts, and the progress bar a run
// shows over part 0.
#pragma once

#include <windows.h>

#include <string>

class StatusBar {
public:
    StatusBar() = default;
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    void Create(HWND parent);
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
    void Forget() { bar_ = progress_ = nullptr; }

private:
    HWND bar_ = nullptr;
    HWND progress_ = nullptr;
};
