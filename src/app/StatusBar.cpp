#include "app/StatusBar.h"

#include <commctrl.h>

#include <algorithm>

#include "app/Dpi.h"

void StatusBar::Create(HWND parent, int dpi) {
    bar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr,
                           WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | SBARS_TOOLTIPS | CCS_BOTTOM, 0, 0, 0, 0, parent,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    progress_ = nullptr;
    SetDpi(dpi);
    RECT client;
    GetClientRect(parent, &client);
    Layout(client.right);
}

void StatusBar::SetDpi(int dpi) {
    dpi_ = dpi;
    LOGFONTW message = MessageFontFor(dpi);
    ScopedFont font(CreateFontIndirectW(&message));
    SendMessageW(bar_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
    std::fill(edges_, edges_ + kParts, 0);
    Layout(width_);
}

int StatusBar::Needed(int part) const {
    if (texts_[part].empty() || bar_ == nullptr) return 0;
    HDC dc = GetDC(bar_);
    if (dc == nullptr) return 0;
    HGDIOBJ old = SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, texts_[part].c_str(), static_cast<int>(texts_[part].size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(bar_, dc);
    // The part's borders and the text's margins; the last part also holds the size grip.
    int needed = extent.cx + Scaled(12, dpi_);
    if (part == kParts - 1) needed += GetSystemMetrics(SM_CXVSCROLL);
    return needed;
}

void StatusBar::Layout(int clientWidth) {
    width_ = clientWidth;
    int part2 = std::max(clientWidth / 6, Needed(2));
    int part1 = std::max((clientWidth - clientWidth / 6) - (clientWidth - clientWidth / 3), Needed(1));
    int edges[kParts] = {clientWidth - part2 - part1, clientWidth - part2, clientWidth};
    edges[0] = std::max(edges[0], 0);
    edges[1] = std::max(edges[1], edges[0]);
    if (std::equal(edges, edges + kParts, edges_)) return;
    std::copy(edges, edges + kParts, edges_);
    SendMessageW(bar_, SB_SETPARTS, kParts, reinterpret_cast<LPARAM>(edges));
}

void StatusBar::SetText(int part, const wchar_t* text) {
    if (part >= 0 && part < kParts) {
        texts_[part] = text;
        if (part > 0) Layout(width_);
    }
    SendMessageW(bar_, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text));
}

HWND StatusBar::CreateProgress(int range) {
    DestroyProgress();
    RECT part;
    SendMessageW(bar_, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, part.left, part.top,
                                part.right - part.left, part.bottom - part.top, bar_, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SendMessageW(progress_, PBM_SETRANGE32, 0, range);
    SendMessageW(progress_, PBM_SETSTEP, 1, 0);
    return progress_;
}

void StatusBar::DestroyProgress() {
    if (progress_ != nullptr) {
        DestroyWindow(progress_);
        progress_ = nullptr;
    }
}
