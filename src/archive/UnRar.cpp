#include "archive/UnRar.h"

#include <cstring>

#include "archive/ArchiveKinds.h"
#include "archive/OptionalLibrary.h"
#include "base/FunctionCast.h"

namespace {

template <typename T>
bool Resolve(HMODULE module, const char* name, T& function) {
    function = LookUp<T>(module, name);
    return function != nullptr;
}

} // namespace

CUnRar::CUnRar() {
    memset(&header_, 0, sizeof(header_));
    memset(&open_, 0, sizeof(open_));
    module_ = LoadOptionalLibrary(kRarLibrary.file);
    if (module_ == nullptr) return;
    bool all = Resolve(module_, "RAROpenArchiveEx", openArchiveEx_);
    all = Resolve(module_, "RARCloseArchive", closeArchive_) && all;
    all = Resolve(module_, "RARReadHeaderEx", readHeaderEx_) && all;
    all = Resolve(module_, "RARProcessFile", processFile_) && all;
    all = Resolve(module_, "RARProcessFileW", processFileW_) && all;
    all = Resolve(module_, "RARSetCallback", setCallback_) && all;
    all = Resolve(module_, "RARSetPassword", setPassword_) && all;
    all = Resolve(module_, "RARGetDllVersion", getDllVersion_) && all;
    if (!all) return;
    loaded_ = true;
    version_ = getDllVersion_();
}

CUnRar::~CUnRar() {
    Close();
    if (module_ != nullptr) FreeLibrary(module_);
}

bool CUnRar::Open(const wchar_t* path, bool listOnly) {
    if (!loaded_ || archive_ != nullptr) return false;
    memset(&open_, 0, sizeof(open_));
    open_.ArcNameW = const_cast<wchar_t*>(path);
    open_.OpenMode = listOnly ? kRarOpenList : kRarOpenExtract;
    archive_ = openArchiveEx_(&open_);
    lastResult_ = static_cast<int>(open_.OpenResult);
    if (archive_ == nullptr || open_.OpenResult != 0) {
        if (archive_ != nullptr) closeArchive_(archive_);
        archive_ = nullptr;
        return false;
    }
    setCallback_(archive_, Callback, reinterpret_cast<LPARAM>(this));
    return true;
}

void CUnRar::Close() {
    if (archive_ != nullptr) closeArchive_(archive_);
    archive_ = nullptr;
    sink_ = nullptr;
    lastResult_ = 0;
    memset(&open_, 0, sizeof(open_));
    memset(&header_, 0, sizeof(header_));
}

bool CUnRar::ReadHeader() {
    memset(&header_, 0, sizeof(header_));
    if (archive_ == nullptr) return false;
    lastResult_ = readHeaderEx_(archive_, &header_);
    // The name must end inside its field whatever the library wrote.
    header_.FileNameW[1023] = L'\0';
    header_.FileName[1023] = '\0';
    return lastResult_ == 0;
}

bool CUnRar::IsDirectory() const {
    if (version_ >= 6) return (header_.Flags & kRarItemDirectory) != 0;
    return (header_.Flags & kRarItemDirectoryOld) == kRarItemDirectoryOld;
}

bool CUnRar::TestCurrent() {
    if (archive_ == nullptr) return false;
    lastResult_ = processFileW_(archive_, kRarTest, nullptr, nullptr);
    return lastResult_ == 0;
}

bool CUnRar::SkipCurrent() {
    if (archive_ == nullptr) return false;
    lastResult_ = processFile_(archive_, kRarSkip, nullptr, nullptr);
    return lastResult_ == 0;
}

bool CUnRar::SkipItems(uint64_t count) {
    for (uint64_t i = 0; i < count; ++i)
        if (!ReadHeader() || !SkipCurrent()) return false;
    return true;
}

int CUnRar::OnCallback(UINT message, LPARAM p1, LPARAM p2) {
    if (message == kUcmProcessData) return OnProcessData(reinterpret_cast<const void*>(p1), static_cast<size_t>(p2));
    return -1; // volume changes and password requests are refused
}

int CUnRar::OnProcessData(const void* data, size_t size) {
    if (sink_ == nullptr || size > MAXDWORD) return -1;
    ULONG written = 0;
    HRESULT hr = sink_->Write(data, static_cast<ULONG>(size), &written);
    return SUCCEEDED(hr) && written == size ? 1 : -1;
}

int CALLBACK CUnRar::Callback(UINT message, LPARAM userData, LPARAM p1, LPARAM p2) {
    auto* self = reinterpret_cast<CUnRar*>(userData);
    return self ? self->OnCallback(message, p1, p2) : -1;
}
