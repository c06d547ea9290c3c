#include "update/SaveName.h"

#include <cwchar>

#include "base/Text.h"

namespace {

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
}

// CON, NUL, COM1, LPT³... whatever follows the first dot: Windows opens the
// device for "nul.zip" as for "NUL".
bool IsDeviceName(const wchar_t* name) {
    size_t stem = 0;
    while (name[stem] != L'\0' && name[stem] != L'.') ++stem;
    while (stem > 0 && name[stem - 1] == L' ') --stem;
    auto startsWith = [&](const wchar_t* device) {
        return Upper(name[0]) == device[0] && Upper(name[1]) == device[1] && Upper(name[2]) == device[2];
    };
    if (stem == 3) return startsWith(L"CON") || startsWith(L"PRN") || startsWith(L"AUX") || startsWith(L"NUL");
    if (stem != 4 || !(startsWith(L"COM") || startsWith(L"LPT"))) return false;
    wchar_t digit = name[3];
    return (digit >= L'1' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3;
}

} // namespace

bool EndsWithZip(const wchar_t* text) {
    size_t length = wcslen(text);
    return length >= 4 && EqualsIgnoreAsciiCase(text + length - 4, L".zip");
}

bool AddZipExtension(wchar_t* text, size_t capacity) {
    if (EndsWithZip(text)) return true;
    size_t length = wcslen(text);
    if (length + 4 >= capacity) return false;
    wmemcpy(text + length, L".zip", 5);
    return true;
}

bool MakeSafeSaveName(wchar_t* name, size_t capacity) {
    const wchar_t* bare = name;
    for (const wchar_t* c = name; *c; ++c)
        if (*c == L'\\' || *c == L'/' || *c == L':') bare = c + 1;
    size_t length = wcslen(bare);
    wmemmove(name, bare, length + 1);
    while (length > 0 && (name[length - 1] == L'.' || name[length - 1] == L' ')) name[--length] = L'\0';
    bool safe = length > 0 && !IsDeviceName(name) && wcspbrk(name, L"<>\"|?*") == nullptr;
    for (size_t i = 0; safe && i < length; ++i) safe = name[i] >= 0x20;
    if (safe && AddZipExtension(name, capacity)) return true;
    name[0] = L'\0';
    return false;
}
