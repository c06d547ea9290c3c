#include "app/dialogs/DialogFont.h"

#include "app/Dpi.h"

namespace {

struct FontChange {
    HFONT from;
    HFONT to;
};

// Controls with a font of their own (a link's underlined one) keep it.
BOOL CALLBACK ChangeFont(HWND control, LPARAM lParam) {
    auto* change = reinterpret_cast<FontChange*>(lParam);
    auto current = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (current == nullptr || current == change->from)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(change->to), FALSE);
    return TRUE;
}

} // namespace

void UseMessageFont(HWND dialog, int dpi, ScopedFont& font) {
    LOGFONTW message = MessageFontFor(dpi);
    ScopedFont made(CreateFontIndirectW(&message));
    if (!made) return;
    FontChange change = {reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), made.get()};
    EnumChildWindows(dialog, ChangeFont, reinterpret_cast<LPARAM>(&change));
    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), TRUE);
    font = std::move(made); // the old font is no longer shown anywhere
}
