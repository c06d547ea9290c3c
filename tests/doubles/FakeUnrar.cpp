// A stand-in unrar.dll for what ours never does: hand out raw names, be old
// (FAKE_VERSION), lack RARGetDllVersion (FAKE_NO_VERSION). Its "archives" are text
// files: "FAKERAR <flags in hex>", then one item name a line ('\' ends a directory).
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "contracts/UnrarRecords.h"

#ifndef FAKE_VERSION
#define FAKE_VERSION 8
#endif

namespace {

struct FakeRar {
    std::vector<std::string> items;
    size_t next = 0; // index of the header RARReadHeaderEx gives next
};

} // namespace

extern "C" {

__declspec(dllexport) HANDLE WINAPI RAROpenArchiveEx(RAROpenArchiveDataEx* data) {
    if (data == nullptr || data->ArcNameW == nullptr) return nullptr;
    std::ifstream in(data->ArcNameW, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line.rfind("FAKERAR ", 0) != 0) {
        data->OpenResult = kRarOpenError;
        return nullptr;
    }
    auto* rar = new FakeRar;
    data->Flags = static_cast<unsigned>(strtoul(line.c_str() + 8, nullptr, 16));
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) rar->items.push_back(line);
    }
    data->OpenResult = 0;
    return rar;
}

__declspec(dllexport) int WINAPI RARCloseArchive(HANDLE handle) {
    delete static_cast<FakeRar*>(handle);
    return 0;
}

__declspec(dllexport) int WINAPI RARReadHeaderEx(HANDLE handle, RARHeaderDataEx* header) {
    auto* rar = static_cast<FakeRar*>(handle);
    if (!rar || !header) return kRarBadArchive;
    if (rar->next >= rar->items.size()) return kRarEndArchive;
    const std::string& name = rar->items[rar->next++];
    MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, header->FileNameW, 1024);
    header->Flags = name.back() == '\\' ? kRarItemDirectory : 0;
    return 0;
}

__declspec(dllexport) int WINAPI RARProcessFileW(HANDLE handle, int operation, wchar_t*, wchar_t*) {
    auto* rar = static_cast<FakeRar*>(handle);
    return rar && rar->next > 0 && operation == kRarSkip ? 0 : kRarBadArchive;
}

__declspec(dllexport) int WINAPI RARProcessFile(HANDLE handle, int operation, char*, char*) {
    return RARProcessFileW(handle, operation, nullptr, nullptr);
}

__declspec(dllexport) void WINAPI RARSetCallback(HANDLE, UNRARCALLBACK, LPARAM) {}

__declspec(dllexport) void WINAPI RARSetPassword(HANDLE, char*) {}

#ifndef FAKE_NO_VERSION
__declspec(dllexport) int WINAPI RARGetDllVersion() { return FAKE_VERSION; }
#endif

} // extern "C"
