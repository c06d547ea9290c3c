#include "thumbnail/PictureChoice.h"

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>

#include "base/FunctionCast.h"

namespace {

// Every extension between two dots, so that a lookup of ".jpg." matches
// whole extensions only.
const wchar_t kPictureExtensions[] = L".bmp.gif.ico.jpe.jpeg.jpg.jif.jfi.jfif.png.tif.tiff.";

using StrCmpLogicalFn = int(WINAPI*)(PCWSTR, PCWSTR);

// Looked up once: the library is the system's own and stays loaded.
StrCmpLogicalFn SystemStrCmpLogical() {
    static const StrCmpLogicalFn function = [] {
        wchar_t path[MAX_PATH];
        UINT length = GetSystemDirectoryW(path, MAX_PATH);
        const wchar_t kName[] = L"\\shlwapi.dll";
        if (length == 0 || length + wcslen(kName) >= MAX_PATH) return StrCmpLogicalFn(nullptr);
        wcscat(path, kName);
        return LookUp<StrCmpLogicalFn>(LoadLibraryW(path), "StrCmpLogicalW");
    }();
    return function;
}

} // namespace

bool IsPictureName(const wchar_t* name) {
    const wchar_t* extension = PathFindExtensionW(name);
    if (extension == nullptr || extension[0] == L'\0') return false;
    // ".jpeg" plus the closing dot; anything longer is no picture extension.
    wchar_t key[8];
    size_t length = wcslen(extension);
    if (length + 2 > sizeof(key) / sizeof(key[0])) return false;
    for (size_t i = 0; i < length; ++i) {
        wchar_t c = extension[i];
        key[i] = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    }
    key[length] = L'.';
    key[length + 1] = L'\0';
    return wcsstr(kPictureExtensions, key) != nullptr;
}

int CompareLogical(const wchar_t* chosen, const wchar_t* candidate) {
    StrCmpLogicalFn compare = SystemStrCmpLogical();
    return compare ? compare(candidate, chosen) : 0;
}

bool PictureChoice::Offer(int position, const wchar_t* name, uint64_t size, bool directory) {
    if (firstFile_ && HasChoice()) return true;
    if (directory || size < 1 || size > kMaxPictureBytes || !IsPictureName(name)) return false;
    if (!HasChoice() || (compare_ && compare_(name_.c_str(), name) < 0)) {
        position_ = position;
        name_ = name;
        size_ = size;
    }
    return firstFile_;
}
