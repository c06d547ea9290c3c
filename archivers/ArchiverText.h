// Text handling of the archiver libraries that needs no archive: wildcard
// matching of item names, the split of an ExtractMem command line, and the
// conversions between the caller's code page and UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace archiver {

// Longest string accepted from a caller; anything longer is refused rather
// than scanned without end.
constexpr size_t kMaxInput = 65536;

// '*' matches any run (separators included), '?' one character; ASCII letters
// match either case. A pattern ending in ".*" also matches a name without a
// dot, so "*.*" matches everything, as callers expect. An empty pattern
// matches everything.
bool MatchWildcard(const std::wstring& pattern, const std::wstring& name);

// Item names compare with '/' and '\' alike: both become '\'.
std::wstring ToBackslashes(std::wstring s);

// The archive path and member name of an ExtractMem command line such as
//   x -hide -y "C:\a\b c.7z" "Photos\a.jpg"
// Switches (tokens starting with '-') and a leading one-letter command are
// passed over; the first two remaining tokens (quoted or not) are taken.
// False when fewer than two remain or a quote is not closed.
bool SplitExtractCommand(const std::wstring& line, std::wstring* archivePath, std::wstring* member);

// Caller text (UTF-8 in Unicode mode, else the ANSI code page) to UTF-16.
// False for a null pointer, text longer than kMaxInput or bytes invalid in
// the code page.
bool FromCaller(const char* text, UINT codePage, std::wstring* out);

// UTF-16 to the caller's code page; false when it cannot be converted.
bool ToCaller(const std::wstring& text, UINT codePage, std::string* out);

// Copies text into a caller's buffer of `size` bytes, terminated. When it
// does not fit, the longest whole-character prefix that does is copied and
// false is returned; the buffer is never overrun.
bool CopyToCaller(const std::wstring& text, UINT codePage, char* buffer, size_t size);

}  // namespace archiver
