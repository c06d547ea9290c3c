#include "archive/ArcDll.h"

#include "archive/OptionalLibrary.h"
#include "base/FunctionCast.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

namespace {

using QueryFunctionListFn = BOOL(WINAPI*)(int);
using SetUnicodeModeFn = BOOL(WINAPI*)(BOOL);
using SetCursorModeFn = BOOL(WINAPI*)(BOOL);
using GetRunningFn = BOOL(WINAPI*)();
using CheckArchiveFn = BOOL(WINAPI*)(LPCSTR, int);
using OpenArchiveFn = HARC(WINAPI*)(HWND, LPCSTR, DWORD);
using CloseArchiveFn = int(WINAPI*)(HARC);
using FindFirstFn = int(WINAPI*)(HARC, LPCSTR, void*);
using FindNextFn = int(WINAPI*)(HARC, void*);
using GetFileNameFn = int(WINAPI*)(HARC, LPSTR, int);
using GetAttributeFn = int(WINAPI*)(HARC);
using GetSizeExFn = BOOL(WINAPI*)(HARC, int64_t*);
using ExtractMemFn = int(WINAPI*)(HWND, LPCSTR, LPBYTE, DWORD, void*, LPWORD, LPDWORD);

} // namespace

CArcDll::~CArcDll() {
    Unload();
}

bool CArcDll::LoadDll(const ArchiverLibrary& library) {
    Unload();
    library_ = &library;
    const wchar_t* prefix = library.prefix;
    prefix_ = prefix;
    module_ = LoadOptionalLibrary(library.file);
    if (module_ == nullptr) return false;
    // Export names are ASCII; the prefix is converted and QueryFunctionList,
    // asked before every call, found once per load.
    char ansi[520];
    const int length =
        prefix ? WideCharToMultiByte(CP_ACP, 0, prefix, -1, ansi, sizeof(ansi), nullptr, nullptr) : 0;
    if (length > 0) {
        exportPrefix_.assign(ansi, static_cast<size_t>(length - 1));
    } else {
        prefix_ = nullptr;  // no export can be named
    }
    query_ = GetFunction("QueryFunctionList");
    if (Offers(kFnSetUnicodeMode)) {
        auto setUnicode = FunctionCast<SetUnicodeModeFn>(GetFunction("SetUnicodeMode"));
        utf8_ = setUnicode && setUnicode(TRUE) != FALSE;
    }
    return true;
}

void CArcDll::Unload() {
    if (module_ != nullptr) {
        if (archive_ != nullptr) CloseArchive();
        FreeLibrary(module_);
    }
    module_ = nullptr;
    archive_ = nullptr;
    utf8_ = false;
    query_ = nullptr;
    exportPrefix_.clear();
}

FARPROC CArcDll::GetFunction(const char* name) const {
    if (module_ == nullptr || name == nullptr || prefix_ == nullptr || exportPrefix_.size() + strlen(name) >= 520) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return GetProcAddress(module_, (exportPrefix_ + name).c_str());
}

bool CArcDll::Offers(int number) const {
    auto query = FunctionCast<QueryFunctionListFn>(query_);
    return query && query(number) != FALSE;
}

std::string CArcDll::Encode(const wchar_t* text) const {
    UINT codePage = utf8_ ? CP_UTF8 : CP_ACP;
    int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string bytes(size, '\0');
    WideCharToMultiByte(codePage, 0, text, -1, &bytes[0], size, nullptr, nullptr);
    bytes.resize(size - 1);
    return bytes;
}

bool CArcDll::DecodeName(const char* bytes, wchar_t (&name)[260]) const {
    name[0] = L'\0';
    int units = MultiByteToWideChar(utf8_ ? CP_UTF8 : CP_ACP, 0, bytes, -1, name, 260);
    return units > 0;
}

bool CArcDll::CheckArchive(const wchar_t* path) {
    if (!Offers(kFnCheckArchive)) return false;
    auto check = FunctionCast<CheckArchiveFn>(GetFunction("CheckArchive"));
    return check && check(Encode(path).c_str(), 1) != FALSE;
}

HARC CArcDll::OpenArchive(const wchar_t* path) {
    archive_ = nullptr;
    if (!Offers(kFnOpenArchive)) return nullptr;
    auto open = FunctionCast<OpenArchiveFn>(GetFunction("OpenArchive"));
    if (open) archive_ = open(nullptr, Encode(path).c_str(), 0);
    return archive_;
}

int CArcDll::CloseArchive() {
    int result = -1;
    if (Offers(kFnCloseArchive)) {
        auto close = FunctionCast<CloseArchiveFn>(GetFunction("CloseArchive"));
        if (close) result = close(archive_);
    }
    archive_ = nullptr;
    return result;
}

int CArcDll::FindFirst(const wchar_t* pattern, void* itemRecord) {
    if (!Offers(kFnFindFirst)) return -1;
    auto findFirst = FunctionCast<FindFirstFn>(GetFunction("FindFirst"));
    if (!findFirst) return -1;
    char buffer[260] = {};
    std::string encoded = Encode(pattern);
    if (encoded.size() >= sizeof(buffer)) return -1; // a pattern that does not fit is refused, not cut
    memcpy(buffer, encoded.c_str(), encoded.size());
    return findFirst(archive_, buffer, itemRecord);
}

int CArcDll::FindNext(void* itemRecord) {
    if (!Offers(kFnFindNext)) return -1;
    auto findNext = FunctionCast<FindNextFn>(GetFunction("FindNext"));
    return findNext ? findNext(archive_, itemRecord) : -1;
}

int CArcDll::GetFileName(std::wstring& name) {
    name.clear();
    if (!Offers(kFnGetFileName)) return -1;
    auto getName = FunctionCast<GetFileNameFn>(GetFunction("GetFileName"));
    if (!getName) return -1;
    // One buffer for every item of the operation, not one per call; the
    // spare byte past what the library is told keeps it terminated.
    try {
        if (nameBuffer_.size() != static_cast<size_t>(kLongNameBytes) + 1) nameBuffer_.assign(kLongNameBytes + 1, '\0');
        nameBuffer_[0] = '\0';
        int result = getName(archive_, nameBuffer_.data(), kLongNameBytes);
        if (result != 0) return result;
        UINT codePage = utf8_ ? CP_UTF8 : CP_ACP;
        int units = MultiByteToWideChar(codePage, 0, nameBuffer_.data(), -1, nullptr, 0);
        if (units <= 0) return -1;
        name.resize(static_cast<size_t>(units));
        MultiByteToWideChar(codePage, 0, nameBuffer_.data(), -1, &name[0], units);
        name.resize(static_cast<size_t>(units) - 1);
        return 0;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int CArcDll::GetAttribute() {
    if (!Offers(kFnGetAttribute)) return -1;
    auto getAttribute = FunctionCast<GetAttributeFn>(GetFunction("GetAttribute"));
    return getAttribute ? getAttribute(archive_) : -1;
}

bool CArcDll::GetRunning() {
    if (!Offers(kFnGetRunning)) return false;
    auto running = FunctionCast<GetRunningFn>(GetFunction("GetRunning"));
    return running && running() != FALSE;
}

void CArcDll::SetCursorMode(bool busyCursor) {
    if (!Offers(kFnSetCursorMode)) return;
    auto setCursor = FunctionCast<SetCursorModeFn>(GetFunction("SetCursorMode"));
    if (setCursor) setCursor(busyCursor ? TRUE : FALSE);
}

bool CArcDll::GetOriginalSizeEx(int64_t* size) {
    if (!Offers(kFnGetOriginalSizeEx)) return false;
    auto get = FunctionCast<GetSizeExFn>(GetFunction("GetOriginalSizeEx"));
    return get && get(archive_, size) != FALSE;
}

bool CArcDll::GetCompressedSizeEx(int64_t* size) {
    if (!Offers(kFnGetCompressedSizeEx)) return false;
    auto get = FunctionCast<GetSizeExFn>(GetFunction("GetCompressedSizeEx"));
    return get && get(archive_, size) != FALSE;
}

int CArcDll::ExtractMem(const wchar_t* commandLine, void* buffer, DWORD size) {
    auto extract = FunctionCast<ExtractMemFn>(GetFunction("ExtractMem"));
    if (!extract) return -1;
    return extract(nullptr, Encode(commandLine).c_str(), static_cast<LPBYTE>(buffer), size, nullptr, nullptr,
                   nullptr);
}

int CArcDll::ExtractMemberToMemory(const wchar_t* archive, const wchar_t* member, void* buffer, DWORD size) {
    if (library_ == nullptr || library_->extractSwitches == nullptr) return -1;
    std::wstring commandLine = std::wstring(library_->extractSwitches) + L" \"" + archive + L"\" \"" + member + L"\"";
    return ExtractMem(commandLine.c_str(), buffer, size);
}
