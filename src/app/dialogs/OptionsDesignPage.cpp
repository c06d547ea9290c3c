// Design page: how the list draws the rows of each status class. A preview
// list shows the four designs; the pressed status button picks the design
// that the face, style and colour controls edit. The font size is shared.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <iterator>
#include <string>

#include "app/Dpi.h"
#include "app/dialogs/OptionsControls.h"
#include "app/dialogs/OptionsIds.h"
#include "app/dialogs/OptionsPages.h"
#include "app/Fonts.h"
#include "app/Texts.h"
#include "base/Messages.h"
#include "base/ScopedWin.h"
#include "base/Text.h"

namespace {

// In DesignIndex order.
const int kStatusButtons[kDesignCount] = {IDC_DESIGN_DEFAULT, IDC_DESIGN_READY, IDC_DESIGN_RENAMED, IDC_DESIGN_FAILED};

struct StyleBox {
    int id;
    int bit;
};
const StyleBox kStyleBoxes[] = {
    {IDC_BOLD, kFontBold}, {IDC_ITALIC, kFontItalic}, {IDC_UNDERLINE, kFontUnderline}, {IDC_STRIKE_OUT, kFontStrikeOut}};

const int kFontSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20}; // after the "<default>" entry

// The fonts a list may offer: TrueType faces for Japanese or Western text,
// without the vertical (@) and hidden ($) variants, each name once. The
// character set decides, not the script's display name, which depends on
// the language of the system.
int CALLBACK AddFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD fontType, LPARAM list) {
    HWND faces = reinterpret_cast<HWND>(list);
    const wchar_t* name = font->lfFaceName;
    if (!(fontType & TRUETYPE_FONTTYPE) || name[0] == L'@' || name[0] == L'$') return 1;
    if (font->lfCharSet != SHIFTJIS_CHARSET && font->lfCharSet != ANSI_CHARSET) return 1;
    if (SendMessageW(faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)) == CB_ERR)
        SendMessageW(faces, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    return 1;
}

// Clicks on the preview only give it the focus: its rows are never selected.
LRESULT CALLBACK PreviewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK:
        SetFocus(hwnd);
        return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(hwnd, PreviewProc, 1); break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

void DesignPage::FillFaces() {
    HWND faces = GetDlgItem(dialog_, IDC_FACE);
    SendMessageW(faces, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(IDS_OPT_DEFAULT_ENTRY).c_str()));
    LOGFONTW all = {};
    all.lfCharSet = DEFAULT_CHARSET;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &all, AddFace, reinterpret_cast<LPARAM>(faces), 0);
    ReleaseDC(nullptr, screen);
}

void DesignPage::FillSizes() {
    HWND sizes = GetDlgItem(dialog_, IDC_FONT_SIZE);
    SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(IDS_OPT_DEFAULT_ENTRY).c_str()));
    for (int size : kFontSizes) {
        wchar_t text[8];
        swprintf(text, 8, L"%d", size);
        SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

// A face missing from the list shows as the "<default>" entry.
void DesignPage::SelectFace(const wchar_t* face) {
    HWND faces = GetDlgItem(dialog_, IDC_FACE);
    LRESULT entry = CB_ERR;
    if (face[0] != L'\0')
        entry = SendMessageW(faces, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(face));
    if (entry == CB_ERR)
        entry = SendMessageW(faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(LoadText(IDS_OPT_DEFAULT_ENTRY).c_str()));
    SendMessageW(faces, CB_SETCURSEL, entry, 0);
}

// An exact match: a size of 1 must not show as "10".
void DesignPage::SelectSize(int size) {
    wchar_t text[16];
    swprintf(text, 16, L"%d", size);
    LRESULT entry = SendDlgItemMessageW(dialog_, IDC_FONT_SIZE, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageW(dialog_, IDC_FONT_SIZE, CB_SETCURSEL, entry == CB_ERR ? 0 : entry, 0);
}

void DesignPage::ShowDesign(int design) {
    selected_ = design;
    const ItemDesign& d = working_.Design[design];
    SelectFace(d.Font);
    for (const StyleBox& box : kStyleBoxes) CheckDlgButton(dialog_, box.id, (d.FontStyle & box.bit) ? BST_CHECKED : BST_UNCHECKED);
    colours_.Show(d);
}

void DesignPage::SetPreviewFont() {
    SendDlgItemMessageW(dialog_, IDC_PREVIEW, WM_SETFONT, reinterpret_cast<WPARAM>(previewFonts_[kDesignDefault].get()), TRUE);
}

void DesignPage::CreatePreview() {
    HWND preview = GetDlgItem(dialog_, IDC_PREVIEW);
    RECT client;
    GetClientRect(preview, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = client.right;
    SendMessageW(preview, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    // Each row is named by its status button, so the two texts have one home.
    for (int d = 0; d < kDesignCount; ++d) {
        wchar_t name[64] = L"";
        GetDlgItemTextW(dialog_, kStatusButtons[d], name, 64);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = d;
        item.pszText = name;
        SendMessageW(preview, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    SetWindowSubclass(preview, PreviewProc, 1, 0);
    RemakePreviewFonts();
}

void DesignPage::RemakePreviewFonts() {
    for (int d = 0; d < kDesignCount; ++d)
        previewFonts_[d].reset(CreateDesignFont(working_.Design[d], SharedSize(), WindowDpi(dialog_)));
    SetPreviewFont();
    InvalidateRect(GetDlgItem(dialog_, IDC_PREVIEW), nullptr, TRUE);
}

void DesignPage::OnInit() {
    colours_.Attach(dialog_);
    selected_ = kDesignDefault;
    CheckDlgButton(dialog_, IDC_DESIGN_DEFAULT, BST_CHECKED);
    FillFaces();
    FillSizes();
    CreatePreview();
    SelectSize(SharedSize());
    ShowDesign(kDesignDefault);
}

void DesignPage::OnFaceChosen() {
    HWND faces = GetDlgItem(dialog_, IDC_FACE);
    LRESULT entry = SendMessageW(faces, CB_GETCURSEL, 0, 0);
    if (entry == CB_ERR) return;
    wchar_t face[128] = L"";
    // Face names are at most 31 characters; anything longer is no face.
    if (SendMessageW(faces, CB_GETLBTEXTLEN, entry, 0) < 128)
        SendMessageW(faces, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(face));
    ItemDesign& d = working_.Design[selected_];
    if (LoadText(IDS_OPT_DEFAULT_ENTRY) == face) face[0] = L'\0';
    CopyText(d.Font, face);
    RefreshPreview(selected_);
}

void DesignPage::OnSizeChosen() {
    int entry = SelectedEntry(GetDlgItem(dialog_, IDC_FONT_SIZE));
    int size = entry >= 1 && entry <= static_cast<int>(std::size(kFontSizes)) ? kFontSizes[entry - 1] : 0;
    working_.Design[kDesignDefault].FontSize = size >= 0 && size <= 20 ? size : 0;
    RemakePreviewFonts();
}

void DesignPage::OnStyleClicked() {
    int& style = working_.Design[selected_].FontStyle;
    for (const StyleBox& box : kStyleBoxes) {
        if (IsDlgButtonChecked(dialog_, box.id) == BST_CHECKED) style |= box.bit;
        else style &= ~box.bit;
    }
    RefreshPreview(selected_);
}

void DesignPage::OnCommand(int id, int code) {
    if (colours_.OnCommand(id, code)) return;
    if (code == CBN_SELCHANGE && id == IDC_FACE) OnFaceChosen();
    if (code == CBN_SELCHANGE && id == IDC_FONT_SIZE) OnSizeChosen();
    if (code != BN_CLICKED) return;
    for (int d = 0; d < kDesignCount; ++d)
        if (id == kStatusButtons[d]) ShowDesign(d);
    for (const StyleBox& box : kStyleBoxes)
        if (id == box.id) OnStyleClicked();
}

// Each row in its design's colours and font; never drawn as selected.
LRESULT DesignPage::OnPreviewDraw(NMLVCUSTOMDRAW* draw) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    int d = static_cast<int>(draw->nmcd.dwItemSpec);
    if (d < 0 || d >= kDesignCount) return CDRF_DODEFAULT;
    const ItemDesign& design = working_.Design[d];
    draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
    draw->clrText = design.TextColor;
    draw->clrTextBk = design.BackColor;
    SelectObject(draw->nmcd.hdc, previewFonts_[d].get());
    return CDRF_NEWFONT;
}

void DesignPage::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog_, &paint);
    colours_.Paint(dc);
    EndPaint(dialog_, &paint);
}

void DesignPage::RefreshPreview(int design) {
    previewFonts_[design].reset(CreateDesignFont(working_.Design[design], SharedSize(), WindowDpi(dialog_)));
    if (design == kDesignDefault) SetPreviewFont();
    InvalidateRect(GetDlgItem(dialog_, IDC_PREVIEW), nullptr, TRUE);
}

INT_PTR DesignPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInit(); return FALSE;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_PREVIEW && header->code == NM_CUSTOMDRAW)
            return NotifyResult(dialog_, OnPreviewDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
        return FALSE;
    }
    case WM_PAINT: OnPaint(); return TRUE;
    case kDpiChangedAfterParent:
        RemakePreviewFonts();
        InvalidateRect(dialog_, nullptr, TRUE); // the eyedroppers move with their buttons
        return FALSE;
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_CAPTURECHANGED: return colours_.OnMouse(message, lParam);
    case WM_CTLCOLORSTATIC: return TransparentStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    // The preview fonts go with the page: the main window makes its own row
    // fonts from the saved settings.
    case WM_NCDESTROY:
        for (ScopedFont& font : previewFonts_) font.reset();
        return FALSE;
    default: return FALSE;
    }
}
