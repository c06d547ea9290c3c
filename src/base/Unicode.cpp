#include "base/Unicode.h"

#include <windows.h>

std::wstring ToNfc(const std::wstring& text) {
    if (text.empty() || text.size() > 0x7FFFFFF) return text;
    const int length = static_cast<int>(text.size());
    // The estimate can be short; the platform then says how much it needs.
    int capacity = NormalizeString(NormalizationC, text.data(), length, nullptr, 0);
    for (int attempt = 0; capacity > 0 && attempt < 3; ++attempt) {
        std::wstring out(static_cast<size_t>(capacity), L'\0');
        int written = NormalizeString(NormalizationC, text.data(), length, &out[0], capacity);
        if (written > 0) {
            out.resize(static_cast<size_t>(written));
            return out;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        capacity = -written;
    }
    return text;
}

bool IsWellFormedUtf16(const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) {
        if (IsHighSurrogate(*c) && IsLowSurrogate(c[1])) {
            ++c;
            continue;
        }
        if (IsHighSurrogate(*c) || IsLowSurrogate(*c)) return false;
    }
    return true;
}
