// Bounded copies into the fixed UTF-16 buffers of the records. A text that
// does not fit is refused, never cut: the caller decides what that means.
#pragma once

#include <cstddef>
#include <cwchar>

inline bool CopyText(wchar_t* dst, size_t capacity, const wchar_t* src) {
    size_t len = wcslen(src);
    if (len >= capacity) return false;
    wmemcpy(dst, src, len + 1);
    return true;
}

template <size_t N>
bool CopyText(wchar_t (&dst)[N], const wchar_t* src) {
    return CopyText(dst, N, src);
}

// Copies at most capacity-1 units and always terminates; for the few places
// where cutting is the documented rule (a shell type description, say).
inline void CopyTextCut(wchar_t* dst, size_t capacity, const wchar_t* src) {
    size_t len = wcslen(src);
    if (len >= capacity) {
        len = capacity - 1;
        // Never leave half of a surrogate pair at the end.
        if (len > 0 && src[len - 1] >= 0xD800 && src[len - 1] <= 0xDBFF) --len;
    }
    wmemcpy(dst, src, len);
    dst[len] = L'\0';
}

template <size_t N>
void CopyTextCut(wchar_t (&dst)[N], const wchar_t* src) {
    CopyTextCut(dst, N, src);
}

// Equal when only the ASCII letters A-Z differ in case (paths, extensions).
inline bool EqualsIgnoreAsciiCase(const wchar_t* a, const wchar_t* b) {
    for (;; ++a, ++b) {
        wchar_t x = (*a >= L'A' && *a <= L'Z') ? static_cast<wchar_t>(*a + 32) : *a;
        wchar_t y = (*b >= L'A' && *b <= L'Z') ? static_cast<wchar_t>(*b + 32) : *b;
        if (x != y) return false;
        if (x == L'\0') return true;
    }
}
