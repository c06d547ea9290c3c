#include "filelist/TypeNames.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <mutex>
#include <unordered_map>

#include "base/ScopedWin.h"

namespace {

std::mutex g_lock;
// By extension as written: a type the system does not know is named after
// the extension's own letters ("ZIP file" for .ZIP, "zip file" for .zip).
std::unordered_map<std::wstring, std::wstring> g_byExtension;

} // namespace

std::wstring TypeNameOf(const wchar_t* path) {
    std::wstring key = PathFindExtensionW(path);
    {
        std::lock_guard<std::mutex> hold(g_lock);
        auto found = g_byExtension.find(key);
        if (found != g_byExtension.end()) return found->second;
    }
    ScopedCoInit com;
    SHFILEINFOW info = {};
    // A failed query is not remembered: the next file of the kind asks again.
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_TYPENAME)) return std::wstring();
    std::lock_guard<std::mutex> hold(g_lock);
    return g_byExtension.emplace(key, info.szTypeName).first->second;
}
