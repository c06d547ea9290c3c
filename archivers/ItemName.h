// Item names as our archiver libraries hand them out, whatever the format.
//
// Contract:
// - A name stored as Unicode (a UTF-8 flag, UTF-16, a stated code page) is
//   decoded as such. Raw bytes without such a statement are decoded as UTF-8
//   when they are valid UTF-8, otherwise in the system ANSI code page: the
//   rule the program's built-in ZIP reader follows, so both routes read an
//   archive the same way.
// - A decoded name is cut at its first NUL, then cleaned as the built-in
//   reader cleans ZIP names (drive prefixes, leading separators and the part
//   up to a ".." component go), and its separators become '\'.
// - Nothing here fails: bytes that do not decode become U+FFFD.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace archiver {

// Raw name bytes: UTF-8 when valid, else in `codePage` (normally CP_ACP).
std::wstring DecodeRawName(const char* bytes, size_t size, UINT codePage = CP_ACP);

// Bytes in a stated code page (CP_UTF8 for a UTF-8 flag); when the code page
// is not available here, the raw-name rule is used instead.
std::wstring DecodeInCodePage(const char* bytes, size_t size, UINT codePage);

// UTF-16LE bytes (an odd last byte is ignored).
std::wstring DecodeUtf16Le(const uint8_t* bytes, size_t size);

// The cleaned form described above.
std::wstring CleanItemName(std::wstring name);

// True when the name ends in a separator (a folder item).
bool EndsWithSeparator(const std::wstring& name);

}  // namespace archiver
