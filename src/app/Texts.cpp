#include "app/Texts.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

std::wstring LoadText(UINT id) {
    const wchar_t* text = nullptr;
    // Length 0 asks for a pointer into the resource itself (not terminated).
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring FormatText(UINT id, ...) {
    std::wstring format = LoadText(id);
    std::vector<wchar_t> text(1024, L'\0');
    va_list args;
    va_start(args, id);
    int written = vswprintf(text.data(), text.size(), format.c_str(), args);
    va_end(args);
    return written >= 0 ? std::wstring(text.data()) : std::wstring(text.data(), text.size() - 1);
}
