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

// Null, empty, or nothing but spaces and tabs: such a path names nothing.
bool IsBlankPath(const wchar_t* path);

// A drive path ("C:\...") or a network path ("\\server\..."): it names the
// same file whatever the current folder.
bool IsFullPath(const wchar_t* path);

// path made absolute against the current folder (GetFullPathNameW), so that
// a later change of the current folder cannot make it name another file.
// Empty for an empty or blank path and when it cannot be resolved.
std::wstring AbsolutePath(const wchar_t* path);
