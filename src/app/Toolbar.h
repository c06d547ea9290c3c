// The rebar and its flat toolbar of ten buttons.
#pragma once

#include <windows.h>

#include "base/ScopedWin.h"

class MainMenus;

class Toolbar {
public:
    Toolbar() = default;
    Toolbar(const Toolbar&) = delete;
    Toolbar& operator=(const Toolbar&) = delete;

    // Makes the rebar and toolbar for dpi: images drawn at that size, the
    // message font for it, buttons as wide as their labels. Called again at
    // a new DPI, it replaces them.
    void Create(HWND window, int dpi);
    // The rebar follows the window's width.
    void Layout(int width, int height);
    int Height() const;
    HWND Handle() const { return toolbar_; }

    // Drop-down menus and tooltip texts; true when handled, with the answer in result.
    bool OnNotify(HWND window, NMHDR* header, const MainMenus& menus, LRESULT& result);
    // The command of a toolbar button (0 for the drop-down buttons and any other id).
    static int CommandOfButton(int buttonId);

    // The window is gone, and its children with it: the images and the font go too.
    void Release();

private:
    HWND rebar_ = nullptr;
    HWND toolbar_ = nullptr;
    ScopedImageList images_;
    ScopedFont font_;
};
