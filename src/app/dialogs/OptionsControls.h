// What the option pages share: number boxes with up-down buttons, check
// boxes bound to a setting, drop-down lists filled from the string table,
// and static texts drawn over the page's own background.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

#include "settings/Settings.h"

using IntField = int& (*)(Settings&);
using BoolField = bool& (*)(Settings&);

// A number box and its up-down control, bound to a setting kept in lo..hi.
struct NumberBox {
    int box;
    int upDown;
    IntField field;
    int lo, hi;
};

struct CheckBox {
    int id;
    BoolField field;
};

// The box's text (at most maxChars of it) read as a decimal number with an
// optional sign, no digits giving 0, and clamped to lo..hi.
int ReadNumber(HWND box, int maxChars, int lo, int hi);
void WriteNumber(HWND box, int value);

// Attaches each up-down to its box with the box's range and writes the values.
void InitNumberBoxes(HWND page, const NumberBox* boxes, size_t count, Settings& values);
// A changed box stores its clamped value (EN_CHANGE). True when id is one of the boxes.
bool OnNumberBoxChanged(HWND page, const NumberBox* boxes, size_t count, int id, Settings& values);
// WM_NOTIFY of a page with number boxes: an up-down click (UDN_DELTAPOS)
// steps its box by one within the range, stores and writes the value, and
// the control's own step is refused. The dialog procedure's result.
INT_PTR OnNumberBoxNotify(HWND page, const NumberBox* boxes, size_t count, const NMHDR* header, Settings& values);

void InitCheckBoxes(HWND page, const CheckBox* boxes, size_t count, Settings& values);
// A click stores the box's state. True when id is one of the boxes.
bool OnCheckBoxClicked(HWND page, const CheckBox* boxes, size_t count, int id, Settings& values);

// Fills a drop-down list with count texts from the string table, starting at
// firstText, and selects entry selected (none when out of range).
void FillList(HWND list, UINT firstText, int count, int selected);
int SelectedEntry(HWND list);

// WM_CTLCOLORSTATIC: static texts are drawn transparently over the page;
// other controls keep their own colours (a null result).
INT_PTR TransparentStatic(HDC dc, HWND control);

// A page procedure's answer to a notification, for the dialog manager.
INT_PTR NotifyResult(HWND page, LRESULT result);
