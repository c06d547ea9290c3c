// The design page's colours: the two colour boxes, the system colour chooser
// and the eyedroppers that pick a colour from anywhere on the screen.
#include <windows.h>
#include <commdlg.h>

#include <cwchar>

#include "app/dialogs/OptionsDesign.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/dialogs/OptionsIds.h"
#include "base/ScopedWin.h"
#include "settings/Color.h"

namespace {

// Each colour: its box, its chooser button, its eyedropper square (page
// pixels) and the field of the design it sets.
struct ColourSlot {
    int box;
    int chooser;
    int left, top;
    COLORREF ItemDesign::*field;
};

const ColourSlot kColours[] = {
    {IDC_TEXT_COLOR, IDC_TEXT_COLOR_CHOOSE, 190, 154, &ItemDesign::TextColor},
    {IDC_BACK_COLOR, IDC_BACK_COLOR_CHOOSE, 415, 154, &ItemDesign::BackColor},
};
const int kSquare = 16;
const int kNoPick = -1;

int g_picking = kNoPick; // the colour an eyedropper is picking, while the mouse is captured

COLORREF& ColourOf(const ColourSlot& slot) {
    return OptionsWorkingCopy().Design[SelectedDesign()].*slot.field;
}

void WriteColour(HWND page, const ColourSlot& slot, COLORREF colour) {
    wchar_t text[8];
    FormatColor(colour, text, 8);
    SetDlgItemTextW(page, slot.box, text);
}

// Half-typed texts are ignored until they read as a whole colour:
// "#RRGGBB", "RRGGBB" or "r,g,b".
bool IsWholeColour(const wchar_t* text) {
    size_t length = wcslen(text);
    int commas = 0;
    for (const wchar_t* c = text; *c; ++c) commas += *c == L',';
    return length == 6 || length == 7 || commas == 2;
}

void OnBoxChanged(HWND page, const ColourSlot& slot) {
    wchar_t text[24] = L"";
    GetDlgItemTextW(page, slot.box, text, 24);
    if (!IsWholeColour(text)) return;
    ColourOf(slot) = ParseColor(text);
    RefreshPreview(page, SelectedDesign());
}

void ChooseColour(HWND page, const ColourSlot& slot) {
    COLORREF custom[16];
    for (COLORREF& c : custom) c = RGB(255, 255, 255);
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = page;
    dialog.rgbResult = ColourOf(slot);
    dialog.lpCustColors = custom;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&dialog)) return;
    ColourOf(slot) = dialog.rgbResult;
    WriteColour(page, slot, dialog.rgbResult);
}

int SquareAt(POINT point) {
    for (int i = 0; i < 2; ++i) {
        const ColourSlot& slot = kColours[i];
        if (point.x >= slot.left && point.x <= slot.left + kSquare && point.y >= slot.top &&
            point.y <= slot.top + kSquare)
            return i;
    }
    return kNoPick;
}

void EndPick() {
    g_picking = kNoPick;
    if (GetCapture() != nullptr) ReleaseCapture();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

// Released over either square the pick is called off; elsewhere the screen
// pixel under the cursor becomes the colour.
void FinishPick(HWND page, POINT point) {
    int picking = g_picking;
    g_picking = kNoPick;
    if (SquareAt(point) == kNoPick) {
        POINT screenPoint = point;
        ClientToScreen(page, &screenPoint);
        HDC screen = GetDC(nullptr);
        COLORREF colour = GetPixel(screen, screenPoint.x, screenPoint.y);
        ReleaseDC(nullptr, screen);
        if (colour != CLR_INVALID) {
            ColourOf(kColours[picking]) = colour;
            WriteColour(page, kColours[picking], colour);
        }
    }
    EndPick();
}

} // namespace

void ShowDesignColours(HWND page, const ItemDesign& design) {
    for (const ColourSlot& slot : kColours) WriteColour(page, slot, design.*slot.field);
}

bool OnColourCommand(HWND page, int id, int code) {
    for (const ColourSlot& slot : kColours) {
        if (id == slot.box && code == EN_CHANGE) {
            OnBoxChanged(page, slot);
            return true;
        }
        if (id == slot.chooser && code == BN_CLICKED) {
            ChooseColour(page, slot);
            return true;
        }
    }
    return false;
}

void PaintEyedroppers(HDC dc) {
    ScopedIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_EYEDROPPER), IMAGE_ICON, kSquare, kSquare, 0)));
    if (!icon) return;
    for (const ColourSlot& slot : kColours)
        DrawIconEx(dc, slot.left, slot.top, icon.get(), kSquare, kSquare, 0, nullptr, DI_NORMAL);
}

bool OnEyedropperMouse(HWND page, UINT message, LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    switch (message) {
    case WM_LBUTTONDOWN:
        g_picking = SquareAt(point);
        if (g_picking == kNoPick) return false;
        SetCapture(page);
        SetCursor(LoadCursorW(nullptr, IDC_CROSS));
        return true;
    case WM_LBUTTONUP:
        if (g_picking == kNoPick) return false;
        FinishPick(page, point);
        return true;
    case WM_CAPTURECHANGED:
        // Capture taken away (another window, Alt+Tab): no pick.
        if (g_picking != kNoPick) EndPick();
        return false;
    default: return false;
    }
}
