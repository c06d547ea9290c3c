// The design page's colours: the two colour boxes, the system colour chooser
// and the eyedroppers that pick a colour from anywhere on the screen.
#include <windows.h>
#include <commdlg.h>

#include <cwchar>

#include "app/dialogs/OptionsIds.h"
#include "app/dialogs/OptionsPages.h"
#include "base/ScopedWin.h"
#include "settings/Color.h"

namespace {

const int kSquare = 16;
const int kNoPick = -1;

} // namespace

// Each colour: its box, its chooser button, its eyedropper square (page
// pixels) and the field of the design it sets.
struct DesignColours::Slot {
    int box;
    int chooser;
    int left, top;
    COLORREF ItemDesign::*field;
};

namespace {

const DesignColours::Slot kColours[] = {
    {IDC_TEXT_COLOR, IDC_TEXT_COLOR_CHOOSE, 190, 154, &ItemDesign::TextColor},
    {IDC_BACK_COLOR, IDC_BACK_COLOR_CHOOSE, 415, 154, &ItemDesign::BackColor},
};

// Half-typed texts are ignored until they read as a whole colour:
// "#RRGGBB", "RRGGBB" or "r,g,b".
bool IsWholeColour(const wchar_t* text) {
    size_t length = wcslen(text);
    int commas = 0;
    for (const wchar_t* c = text; *c; ++c) commas += *c == L',';
    return length == 6 || length == 7 || commas == 2;
}

int SquareAt(POINT point) {
    for (int i = 0; i < 2; ++i) {
        const DesignColours::Slot& slot = kColours[i];
        if (point.x >= slot.left && point.x <= slot.left + kSquare && point.y >= slot.top &&
            point.y <= slot.top + kSquare)
            return i;
    }
    return kNoPick;
}

} // namespace

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
    if (SquareAt(point) == kNoPick) {
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
    ScopedIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_EYEDROPPER), IMAGE_ICON, kSquare, kSquare, 0)));
    if (!icon) return;
    for (const Slot& slot : kColours)
        DrawIconEx(dc, slot.left, slot.top, icon.get(), kSquare, kSquare, 0, nullptr, DI_NORMAL);
}

bool DesignColours::OnMouse(UINT message, LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_LBUTTONDOWN:
        picking_ = SquareAt(point);
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
