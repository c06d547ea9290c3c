// Files in a temporary folder removed by the destructor; text conversion; the build's folders.
#pragma once

#include <windows.h>

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return path_; }
    // path() + "\" + name
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }
    // Writes bytes to the file `name` in the folder; its path, or "" when it could not be written.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring path_;
};

// Writes bytes to path, replacing it; false on failure.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Writes text as UTF-16LE with a byte-order mark.
bool WriteUtf16(const std::wstring& path, const std::wstring& text);
// The whole file, or "" when it cannot be read.
std::string ReadBytes(const std::wstring& path);
// A UTF-16LE file with a byte-order mark, decoded; "" when it is not one.
std::wstring ReadUtf16(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Removes a folder and everything in it.
void RemoveTree(const std::wstring& path);

// w in code page codePage (UTF-8 unless told).
std::string Narrow(const std::wstring& w, UINT codePage = CP_UTF8);
inline std::string Utf8(const std::wstring& w) { return Narrow(w, CP_UTF8); }
inline std::string Ansi(const std::wstring& w) { return Narrow(w, CP_ACP); }
// A folder of the build (bin, doubles, fixtures), and a file the fixture script made.
std::wstring BuildFolder(const std::wstring& name);
inline std::wstring Fixture(const std::wstring& name) { return BuildFolder(L"fixtures") + L"\\" + name; }
