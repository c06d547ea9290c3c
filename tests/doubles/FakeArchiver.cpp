// A stand-in archiver library for the adapter's tests. Its "archives" are
// text files: a first line "FAKEARC", then one item name per line (in UTF-8,
// or in the ANSI code page for the variant without Unicode mode). Built in
// variants by definitions:
//   FAKE_RUNNING     GetRunning reports the library busy
//   FAKE_NO_UNICODE  no SetUnicodeMode export: strings are ANSI
// ExtractMem is there for the adapter to find, and extracts nothing.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "contracts/ArchiverRecords.h"

// Exports carry the library's prefix: EXPORTED(CheckArchive) is
// SevenZipCheckArchive in the 7-zip32 variants.
#define JOIN2(a, b) a##b
#define JOIN(a, b) JOIN2(a, b)
#define EXPORTED(name) __declspec(dllexport) JOIN(FAKE_PREFIX, name)

namespace {

struct FakeArchive {
    std::vector<std::string> items;
    size_t current = 0;
};

#ifndef FAKE_NO_UNICODE
bool g_unicode = false;
#endif

// The path as the library received it, turned into UTF-16.
std::wstring Wide(const char* text) {
#ifdef FAKE_NO_UNICODE
    UINT codePage = CP_ACP;
#else
    UINT codePage = g_unicode ? CP_UTF8 : CP_ACP;
#endif
    int n = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(codePage, 0, text, -1, &w[0], n);
    return w;
}

bool ReadItems(const char* path, std::vector<std::string>& items) {
    std::ifstream in(Wide(path).c_str(), std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line.rfind("FAKEARC", 0) != 0) return false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) items.push_back(line);
    }
    return true;
}

void FillRecord(const std::string& name, void* record) {
    if (record == nullptr) return;
    char* bytes = static_cast<char*>(record);
    memset(bytes, 0, kItemRecordSize);
    strncpy(bytes + kItemNameOffset, name.c_str(), kItemNameSize - 1);
}

} // namespace

extern "C" {

BOOL WINAPI EXPORTED(QueryFunctionList)(int) { return TRUE; }

#ifndef FAKE_NO_UNICODE
BOOL WINAPI EXPORTED(SetUnicodeMode)(BOOL unicode) {
    g_unicode = unicode != FALSE;
    return TRUE;
}
#endif

BOOL WINAPI EXPORTED(SetCursorMode)(BOOL) { return TRUE; }

BOOL WINAPI EXPORTED(GetRunning)() {
#ifdef FAKE_RUNNING
    return TRUE;
#else
    return FALSE;
#endif
}

BOOL WINAPI EXPORTED(CheckArchive)(LPCSTR path, int) {
    std::vector<std::string> items;
    return path && ReadItems(path, items);
}

HANDLE WINAPI EXPORTED(OpenArchive)(HWND, LPCSTR path, DWORD) {
    auto* archive = new FakeArchive;
    if (!path || !ReadItems(path, archive->items)) {
        delete archive;
        return nullptr;
    }
    return archive;
}

int WINAPI EXPORTED(CloseArchive)(HANDLE archive) {
    delete static_cast<FakeArchive*>(archive);
    return 0;
}

int WINAPI EXPORTED(FindFirst)(HANDLE handle, LPCSTR, void* record) {
    auto* archive = static_cast<FakeArchive*>(handle);
    if (!archive || archive->items.empty()) return -1;
    archive->current = 0;
    FillRecord(archive->items[0], record);
    return 0;
}

int WINAPI EXPORTED(FindNext)(HANDLE handle, void* record) {
    auto* archive = static_cast<FakeArchive*>(handle);
    if (!archive || archive->current + 1 >= archive->items.size()) return -1;
    FillRecord(archive->items[++archive->current], record);
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

int WINAPI EXPORTED(GetAttribute)(HANDLE handle) {
    auto* archive = static_cast<FakeArchive*>(handle);
    if (!archive) return -1;
    const std::string& name = archive->items[archive->current];
    return (!name.empty() && (name.back() == '\\' || name.back() == '/')) ? 0x10 : 0x20;
}

int WINAPI EXPORTED(ExtractMem)(HWND, LPCSTR, LPBYTE, DWORD, void*, LPWORD, LPDWORD written) {
    if (written) *written = 0;
    return -1;
}

} // extern "C"
