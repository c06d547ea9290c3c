// A stand-in archiver library for what ours never do: hand out raw names, be
// busy (FAKE_RUNNING), be old (FAKE_OLD: ANSI only, no FindNext). Its "archives"
// are text files: "FAKEARC", then one item name a line.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "contracts/ArchiverRecords.h"

// EXPORTED(CheckArchive) is SevenZipCheckArchive in the 7-zip32 variants.
#define JOIN2(a, b) a##b
#define JOIN(a, b) JOIN2(a, b)
#define EXPORTED(name) __declspec(dllexport) JOIN(FAKE_PREFIX, name)

namespace {

struct FakeArchive {
    std::vector<std::string> items;
    size_t current = 0;
};

bool g_unicode = false;

bool ReadItems(const char* path, std::vector<std::string>& items) {
    // The path as the library received it, turned into UTF-16.
    const UINT codePage = g_unicode ? CP_UTF8 : CP_ACP;
    wchar_t wide[MAX_PATH];
    if (!path || MultiByteToWideChar(codePage, 0, path, -1, wide, MAX_PATH) == 0) return false;
    std::ifstream in(wide, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line.rfind("FAKEARC", 0) != 0) return false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) items.push_back(line);
    }
    return true;
}

} // namespace

extern "C" {

BOOL WINAPI EXPORTED(QueryFunctionList)(int function) {
#ifdef FAKE_OLD
    return function != kFnFindNext;
#else
    return function > 0;
#endif
}

#ifndef FAKE_OLD
BOOL WINAPI EXPORTED(SetUnicodeMode)(BOOL unicode) {
    g_unicode = unicode != FALSE;
    return TRUE;
}
#endif

BOOL WINAPI EXPORTED(GetRunning)() {
#ifdef FAKE_RUNNING
    return TRUE;
#else
    return FALSE;
#endif
}

BOOL WINAPI EXPORTED(CheckArchive)(LPCSTR path, int) {
    std::vector<std::string> items;
    return ReadItems(path, items);
}

HANDLE WINAPI EXPORTED(OpenArchive)(HWND, LPCSTR path, DWORD) {
    auto* archive = new FakeArchive;
    if (!ReadItems(path, archive->items)) {
        delete archive;
        return nullptr;
    }
    return archive;
}

int WINAPI EXPORTED(CloseArchive)(HANDLE archive) {
    delete static_cast<FakeArchive*>(archive);
    return 0;
}

// The item record is left as it is: discovery reads names through GetFileName.
int WINAPI EXPORTED(FindFirst)(HANDLE handle, LPCSTR, void*) {
    auto* archive = static_cast<FakeArchive*>(handle);
    if (!archive || archive->items.empty()) return -1;
    archive->current = 0;
    return 0;
}

int WINAPI EXPORTED(FindNext)(HANDLE handle, void*) {
    auto* archive = static_cast<FakeArchive*>(handle);
    if (!archive || archive->current + 1 >= archive->items.size()) return -1;
    ++archive->current;
    return 0;
}

int WINAPI EXPORTED(GetFileName)(HANDLE handle, LPSTR buffer, int size) {
    auto* archive = static_cast<FakeArchive*>(handle);
    if (!archive || !buffer || size <= 0) return -1;
    const std::string& name = archive->items[archive->current];
    if (static_cast<int>(name.size()) >= size) return -1;
    memcpy(buffer, name.c_str(), name.size() + 1);
    return 0;
}

} // extern "C"
