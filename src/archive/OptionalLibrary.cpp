#include "archive/OptionalLibrary.h"

#include <mutex>
#include <set>
#include <string>

namespace {
std::mutex g_lock;
std::set<std::wstring> g_missing;
} // namespace

HMODULE LoadOptionalLibrary(const wchar_t* name) {
    if (name == nullptr) return nullptr;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        if (g_missing.count(name) != 0) return nullptr;
    }
    HMODULE module = LoadLibraryW(name);
    if (module == nullptr) {
        std::lock_guard<std::mutex> hold(g_lock);
        g_missing.insert(name);
    }
    return module;
}

void ForgetMissingLibraries() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_missing.clear();
}
