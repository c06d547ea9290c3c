// Path helpers shared by the file list, the program folder and folder adding.
#pragma once

#include <string>

// The folder part of path: everything before its last '\' (or, when it has no
// '\', its last '/'); a path with neither is returned whole. A file directly
// in a drive's root gives the bare drive ("C:").
std::wstring DirectoryOfPath(const wchar_t* path);

// path with a separator appended unless it already ends in its last
// separator; the separator is '\', or '/' when path holds no '\'.
std::wstring WithTrailingSeparator(const wchar_t* path);
