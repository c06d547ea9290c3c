// Unicode forms of names: the same name can arrive composed or decomposed
// (macOS writes "ダ" as "タ" followed by a combining mark), and a name can
// hold a lone surrogate that no file system or code page can carry.
#pragma once

#include <string>

// text in normalisation form C. Text the platform cannot normalise (a lone
// surrogate, say) comes back unchanged.
std::wstring ToNfc(const std::wstring& text);

inline bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// True when every surrogate in text is half of a pair.
bool IsWellFormedUtf16(const wchar_t* text);
