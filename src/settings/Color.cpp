#include "settings/Color.h"

#include <cwchar>
#include <cwctype>

namespace {

// Hexadecimal digits from the start of text, stopping at the first non-digit.
unsigned long ReadHex(const wchar_t* text) {
    unsigned long value = 0;
    for (; *text; ++text) {
        wchar_t c = *text;
        int digit;
        if (c >= L'0' && c <= L'9') digit = c - L'0';
        else if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
        else break;
        value = (value << 4) | static_cast<unsigned long>(digit);
    }
    return value;
}

COLORREF FromRrggbb(unsigned long number) {
    BYTE red = static_cast<BYTE>(number >> 16);
    BYTE green = static_cast<BYTE>(number >> 8);
    BYTE blue = static_cast<BYTE>(number);
    return RGB(red, green, blue);
}

int CountChar(const wchar_t* text, wchar_t c) {
    int n = 0;
    for (; *text; ++text)
        if (*text == c) ++n;
    return n;
}

// The decimal number at the start of text (sign allowed), 0 when there is none.
long LeadingDecimal(const wchar_t* text) {
    return wcstol(text, nullptr, 10);
}

} // namespace

COLORREF ParseColor(const wchar_t* text) {
    size_t len = wcslen(text);
    if (len == 7 && text[0] == L'#') return FromRrggbb(ReadHex(text + 1));
    if (len == 6 && CountChar(text, L',') == 0) return FromRrggbb(ReadHex(text));
    if (text[0] != L'#' && CountChar(text, L',') == 2) {
        const wchar_t* green = wcschr(text, L',') + 1;
        const wchar_t* blue = wcschr(green, L',') + 1;
        return RGB(LeadingDecimal(text) & 0xFF, LeadingDecimal(green) & 0xFF, LeadingDecimal(blue) & 0xFF);
    }
    return static_cast<COLORREF>(LeadingDecimal(text));
}

void FormatColor(COLORREF color, wchar_t* buf, size_t capacity) {
    if (capacity < 8) {
        if (capacity > 0) buf[0] = L'\0';
        return;
    }
    swprintf(buf, capacity, L"#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
}
