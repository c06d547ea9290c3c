// The design page's colours: the two colour boxes, the system colour chooser
// and the eyedroppers that pick a colour from anywhere on the screen.
#include <windows.h>
#include <commdlg.h>

#include <cwchar>

#include "app/Dpi.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/dialogs/OptionsIds.h"
#include "app/dialogs/OptionsPages.h"
#include "base/ScopedWin.h"
#include "settings/Color.h"

namespace {

// The square's edge and its gap to the "..." button, at 96 DPI.
const int kSquare = 16;
const int kGap = 8;
const int kNoPick = -1;

} // namespace

// Each colour: its box, its chooser button and the field of the design it
// sets. Its eyedropper square is painted right of the chooser button.
struct DesignColours::Slot {
    int box;
    int chooser;
    COLORREF ItemDesign::*field;
};

namespace {

const DesignColours::Slot kColours[] = {
    {IDC_TEXT_COLOR, IDC_TEXT_COLOR_CHOOSE, &ItemDesign::TextColor},
    {IDC_BACK_COLOR, IDC_BACK_COLOR_CHOOSE, &ItemDesign::BackColor},
};

// Half-typed texts are ignored until they read as a whole colour:
// "#RRGGBB", "RRGGBB" or "r,g,b".
bool IsWholeColour(const wchar_t* text) {
    size_t length = wcslen(text);
    int commas = 0;
    for (const wchar_t* c = text; *c; ++c) commas += *c == L',';
    return length == 6 || length == 7 || commas == 2;
}

int SquareAt(HWND page, POINT point) {
    for (int i = 0; i < 2; ++i) {
        RECT square = EyedropperSquareOf(page, i);
        if (PtInRect(&square, point)) return i;
    }
    return kNoPick;
}

} // namespace

// Placed from the button rather than at fixed pixels, the square stays
// beside it at every DPI and with every font.
RECT EyedropperSquareOf(HWND designPage, int colour) {
    RECT button = {};
    GetWindowRect(GetDlgItem(designPage, kColours[colour].chooser), &button);
    MapWindowPoints(nullptr, designPage, reinterpret_cast<POINT*>(&button), 2);
    int dpi = WindowDpi(designPage), size = Scaled(kSquare, dpi), left = button.right + Scaled(kGap, dpi);
    int top = (button.top + button.bottom - size) / 2;
    return {left, top, left + size, top + size};
}

COLORREF& DesignColours::ColourOf(const Slot& slot) {
    return working_.Design[selected_].*slot.field;
}

void DesignColours::Write(const Slot& slot, COLORREF colour) {
    wchar_t text[8];
    FormatColor(colour, text, 8);
    SetDlgItemTextW(page_, slot.box, text);
}

void DesignColours::OnBoxChanged(const Slot& slot) {
    wchar_t text[24] = L"";
    GetDlgItemTextW(page_, slot.box, text, 24);
    if (!IsWholeColour(text)) return;
    ColourOf(slot) = ParseColor(text);
    if (changed_) changed_();
}

void DesignColours::Choose(const Slot& slot) {
    COLORREF custom[16];
    for (COLORREF& c : custom) c = RGB(255, 255, 255);
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = page_;
    dialog.rgbResult = ColourOf(slot);
    dialog.lpCustColors = custom;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&dialog)) return;
    ColourOf(slot) = dialog.rgbResult;
    Write(slot, dialog.rgbResult);
}

void DesignColours::EndPick() {
    picking_ = kNoPick;
    if (GetCapture() != nullptr) ReleaseCapture();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

// Released over either square the pick is called off; elsewhere the screen
// pixel under the cursor becomes the colour.
void DesignColours::FinishPick(POINT point) {
    int picking = picking_;
    picking_ = kNoPick;
    if (SquareAt(page_, point) == kNoPick) {
        POINT screenPoint = point;
        ClientToScreen(page_, &screenPoint);
        HDC screen = GetDC(nullptr);
        COLORREF colour = GetPixel(screen, screenPoint.x, screenPoint.y);
        ReleaseDC(nullptr, screen);
        if (colour != CLR_INVALID) {
            ColourOf(kColours[picking]) = colour;
            Write(kColours[picking], colour);
        }
    }
    EndPick();
}

void DesignColours::Show(const ItemDesign& design) {
    for (const Slot& slot : kColours) Write(slot, design.*slot.field);
}

bool DesignColours::OnCommand(int id, int code) {
    for (const Slot& slot : kColours) {
        if (id == slot.box && code == EN_CHANGE) {
            OnBoxChanged(slot);
            return true;
        }
        if (id == slot.chooser && code == BN_CLICKED) {
            Choose(slot);
            return true;
        }
    }
    return false;
}

void DesignColours::Paint(HDC dc) {
    int size = Scaled(kSquare, WindowDpi(page_));
    ScopedIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_EYEDROPPER), IMAGE_ICON, size, size, 0)));
    if (!icon) return;
    for (int i = 0; i < 2; ++i) {
        RECT square = EyedropperSquareOf(page_, i);
        DrawIconEx(dc, square.left, square.top, icon.get(), size, size, 0, nullptr, DI_NORMAL);
    }
}

bool DesignColours::OnMouse(UINT message, LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_LBUTTONDOWN:
        picking_ = SquareAt(page_, point);
        if (picking_ == kNoPick) return false;
        SetCapture(page_);
        SetCursor(LoadCursorW(nullptr, IDC_CROSS));
        return true;
    case WM_LBUTTONUP:
        if (picking_ == kNoPick) return false;
        FinishPick(point);
        return true;
    case WM_CAPTURECHANGED:
        // Capture taken away (another window, Alt+Tab): no pick.
        if (picking_ != kNoPick) EndPick();
        return false;
    default: return false;
    }
}
