// A stand-in RAR library for the adapter's tests. Its "archives" are text
// files: a first line "FAKERAR <archive flags in hex>", then one item per line;
// a name starting with '*' is an encrypted item, one ending in '\' a
// directory. Testing an item delivers "DATA:<name>" to the callback in two
// blocks. Variants: FAKE_VERSION sets what RARGetDllVersion reports,
// FAKE_NO_VERSION leaves that export out.
#include <windows.h>

#include <cstdlib>
#include <cstring>
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
    size_t next = 0;      // index of the header RARReadHeaderEx gives next
    UNRARCALLBACK callback = nullptr;
    LPARAM userData = 0;
};

bool Encrypted(const std::string& item) { return !item.empty() && item[0] == '*'; }
std::string NameOf(const std::string& item) { return Encrypted(item) ? item.substr(1) : item; }

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
    const std::string& item = rar->items[rar->next++];
    std::string name = NameOf(item);
    MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, header->FileNameW, 1024);
    header->Flags = (Encrypted(item) ? kRarItemEncrypted : 0) |
                    (!name.empty() && name.back() == '\\' ? kRarItemDirectory : 0);
    header->UnpSize = static_cast<unsigned>(name.size() + 5);
    return 0;
}

__declspec(dllexport) int WINAPI RARProcessFileW(HANDLE handle, int operation, wchar_t*, wchar_t*) {
    auto* rar = static_cast<FakeRar*>(handle);
    if (!rar || rar->next == 0) return kRarBadArchive;
    if (operation == kRarSkip) return 0;
    const std::string& item = rar->items[rar->next - 1];
    if (Encrypted(item)) {
        if (!rar->callback || rar->callback(kUcmNeedPasswordW, rar->userData, 0, 0) == -1) return kRarMissingPassword;
    }
    std::string data = "DATA:" + NameOf(item);
    size_t half = data.size() / 2;
    const size_t parts[2][2] = {{0, half}, {half, data.size() - half}};
    for (const auto& part : parts) {
        if (!rar->callback) return kRarUnknown;
        if (rar->callback(kUcmProcessData, rar->userData, reinterpret_cast<LPARAM>(data.data() + part[0]),
                          static_cast<LPARAM>(part[1])) == -1)
            return kRarUnknown;
    }
    return 0;
}

__declspec(dllexport) int WINAPI RARProcessFile(HANDLE handle, int operation, char*, char*) {
    return RARProcessFileW(handle, operation, nullptr, nullptr);
}

__declspec(dllexport) void WINAPI RARSetCallback(HANDLE handle, UNRARCALLBACK callback, LPARAM userData) {
    auto* rar = static_cast<FakeRar*>(handle);
    if (!rar) return;
    rar->callback = callback;
    rar->userData = userData;
}

__declspec(dllexport) void WINAPI RARSetPassword(HANDLE, char*) {}

#ifndef FAKE_NO_VERSION
__declspec(dllexport) int WINAPI RARGetDllVersion() { return FAKE_VERSION; }
#endif

} // extern "C"
