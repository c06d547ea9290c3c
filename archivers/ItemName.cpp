#include "ItemName.h"

namespace archiver {

namespace {

std::wstring Convert(const char* bytes, size_t size, UINT codePage, DWORD flags) {
    if (size == 0 || size > 0x7FFFFFFF) return std::wstring();
    const int length = static_cast<int>(size);
    int units = MultiByteToWideChar(codePage, flags, bytes, length, nullptr, 0);
    if (units <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(units), L'\0');
    units = MultiByteToWideChar(codePage, flags, bytes, length, &out[0], units);
    out.resize(units > 0 ? static_cast<size_t>(units) : 0);
    return out;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring DecodeRawName(const char* bytes, size_t size, UINT codePage) {
    if (size == 0) return std::wstring();
    std::wstring utf8 = Convert(bytes, size, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (!utf8.empty()) return utf8;
    return Convert(bytes, size, codePage, 0);
}

std::wstring DecodeInCodePage(const char* bytes, size_t size, UINT codePage) {
    if (codePage == CP_UTF8) return Convert(bytes, size, CP_UTF8, 0);
    if (!IsValidCodePage(codePage)) return DecodeRawName(bytes, size);
    return Convert(bytes, size, codePage, 0);
}

std::wstring DecodeUtf16Le(const uint8_t* bytes, size_t size) {
    std::wstring out(size / 2, L'\0');
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<wchar_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return out;
}

std::wstring CleanItemName(std::wstring name) {
    name.resize(wcslen(name.c_str()));
    // The same steps, in the same order, as the built-in ZIP reader's.
    static const wchar_t* const kParentPatterns[] = {L"\\..\\", L"\\../", L"/../", L"/..\\"};
    size_t p = 0;
    for (;;) {
        if (p + 1 < name.size() && name[p + 1] == L':') {
            p += 2;
            continue;
        }
        if (p < name.size() && IsSeparator(name[p])) {
            ++p;
            continue;
        }
        bool skipped = false;
        for (const wchar_t* pattern : kParentPatterns) {
            size_t found = name.find(pattern, p);
            if (found != std::wstring::npos) {
                p = found + 4;
                skipped = true;
                break;
            }
        }
        if (!skipped) break;
    }
    name.erase(0, p);
    for (wchar_t& c : name) {
        if (c == L'/') c = L'\\';
    }
    return name;
}

bool EndsWithSeparator(const std::wstring& name) { return !name.empty() && IsSeparator(name.back()); }

}  // namespace archiver
