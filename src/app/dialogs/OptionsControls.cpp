#include "app/dialogs/OptionsControls.h"

#include <climits>
#include <cwchar>
#include <vector>

#include "app/Texts.h"

namespace {

int Clamp(long value, int lo, int hi) {
    if (value < lo) return lo;
    if (value > hi) return hi;
    return static_cast<int>(value);
}

const NumberBox* FindBox(const NumberBox* boxes, size_t count, int id, bool upDown) {
    for (size_t i = 0; i < count; ++i)
        if ((upDown ? boxes[i].upDown : boxes[i].box) == id) return &boxes[i];
    return nullptr;
}

} // namespace

int ReadNumber(HWND box, int maxChars, int lo, int hi) {
    std::vector<wchar_t> text(static_cast<size_t>(maxChars) + 1, L'\0');
    GetWindowTextW(box, text.data(), maxChars + 1);
    // wcstol saturates at LONG_MIN/LONG_MAX, which the clamp then brings in range.
    return Clamp(wcstol(text.data(), nullptr, 10), lo, hi);
}

void WriteNumber(HWND box, int value) {
    wchar_t text[16];
    swprintf(text, 16, L"%d", value);
    SetWindowTextW(box, text);
}

void InitNumberBoxes(HWND page, const NumberBox* boxes, size_t count, Settings& values) {
    for (size_t i = 0; i < count; ++i) {
        const NumberBox& b = boxes[i];
        HWND box = GetDlgItem(page, b.box);
        HWND upDown = GetDlgItem(page, b.upDown);
        int value = b.field(values);
        SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(box), 0);
        SendMessageW(upDown, UDM_SETRANGE32, b.lo, b.hi);
        SendMessageW(upDown, UDM_SETPOS32, 0, value);
        WriteNumber(box, value);
    }
}

bool OnNumberBoxChanged(HWND page, const NumberBox* boxes, size_t count, int id, Settings& values) {
    const NumberBox* b = FindBox(boxes, count, id, false);
    if (b == nullptr) return false;
    b->field(values) = ReadNumber(GetDlgItem(page, b->box), 18, b->lo, b->hi);
    return true;
}

INT_PTR OnNumberBoxNotify(HWND page, const NumberBox* boxes, size_t count, const NMHDR* header, Settings& values) {
    if (header->code != UDN_DELTAPOS) return FALSE;
    const auto* click = reinterpret_cast<const NMUPDOWN*>(header);
    const NumberBox* b = FindBox(boxes, count, static_cast<int>(header->idFrom), true);
    if (b == nullptr) return FALSE;
    HWND box = GetDlgItem(page, b->box);
    int value = ReadNumber(box, 18, b->lo, b->hi);
    if (click->iDelta > 0 && value < b->hi) ++value;
    if (click->iDelta < 0 && value > b->lo) --value;
    b->field(values) = value;
    WriteNumber(box, value);
    return NotifyResult(page, TRUE);
}

void InitCheckBoxes(HWND page, const CheckBox* boxes, size_t count, Settings& values) {
    for (size_t i = 0; i < count; ++i)
        CheckDlgButton(page, boxes[i].id, boxes[i].field(values) ? BST_CHECKED : BST_UNCHECKED);
}

bool OnCheckBoxClicked(HWND page, const CheckBox* boxes, size_t count, int id, Settings& values) {
    for (size_t i = 0; i < count; ++i) {
        if (boxes[i].id != id) continue;
        boxes[i].field(values) = IsDlgButtonChecked(page, id) == BST_CHECKED;
        return true;
    }
    return false;
}

void FillList(HWND list, UINT firstText, int count, int selected) {
    for (int i = 0; i < count; ++i)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(firstText + i).c_str()));
    SendMessageW(list, CB_SETCURSEL, selected >= 0 && selected < count ? selected : -1, 0);
}

int SelectedEntry(HWND list) {
    return static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
}

INT_PTR TransparentStatic(HDC dc, HWND control) {
    wchar_t className[16] = L"";
    GetClassNameW(control, className, 16);
    if (lstrcmpiW(className, L"Static") != 0) return 0;
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

INT_PTR NotifyResult(HWND page, LRESULT result) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}
