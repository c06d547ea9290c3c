#include "naming/FolderDiscovery.h"

#include <windows.h>
#include <shlwapi.h>

#include "archive/ArchiveKinds.h"
#include "base/Text.h"
#include "base/Unicode.h"
#include "filelist/FileEntry.h"
#include "naming/ArchiveRoutes.h"

namespace {

// Any other file is offered to the libraries, which may still take it.
NameRoute RouteOf(const wchar_t* path) {
    const ArchiveKind* kind = ArchiveKindOf(path);
    return kind ? kind->names : NameRoute::Libraries;
}

} // namespace

ItemPlace PlaceOfItem(const wchar_t* path, std::wstring& top) {
    const wchar_t separator = wcschr(path, L'\\') != nullptr ? L'\\' : L'/';
    const wchar_t* component = path;
    for (;;) {
        const wchar_t* cut = wcschr(component, separator);
        if (cut == nullptr) {
            top = component;
            return ItemPlace::Top;
        }
        top.assign(component, cut);
        if (top != L".") break;
        component = cut + 1;
    }
    if (top.empty() || top == L"..") return ItemPlace::NoFolder;
    if (EqualsIgnoreAsciiCase(top.c_str(), L"__MACOSX")) return ItemPlace::Ignored;
    return ItemPlace::Folder;
}

int DiscoverFolderName(const wchar_t* archivePath, const NamingOptions& options, wchar_t (&out)[260]) {
    std::wstring folder;
    int result = kStatusUnsupported;
    switch (RouteOf(archivePath)) {
    case NameRoute::Zip:
        result = options.use7zip32 ? DllRouteFolder(archivePath, folder) : -1;
        if (result != 0) result = ZipRouteFolder(archivePath, folder);
        break;
    case NameRoute::Rar: result = RarRouteFolder(archivePath, folder); break;
    case NameRoute::Libraries: result = DllRouteFolder(archivePath, folder); break;
    }
    out[0] = L'\0';
    if (result != 0) return result;
    // An empty folder is no folder, never a name made of the extension
    // alone; a first component too long for a file name is no folder either.
    if (folder.empty() || !CopyText(out, ToNfc(folder).c_str())) return kStatusNoFolder;
    return 0;
}

bool CollectNameCandidates(const wchar_t* archivePath, const NamingOptions& options,
                           std::vector<std::wstring>& names) {
    switch (RouteOf(archivePath)) {
    case NameRoute::Zip:
        if (options.use7zip32 && DllRouteNames(archivePath, names)) return true;
        return ZipRouteNames(archivePath, names);
    case NameRoute::Rar: return RarRouteNames(archivePath, names);
    case NameRoute::Libraries: return DllRouteNames(archivePath, names);
    }
    return false;
}

namespace {

// '/' becomes '\' and one trailing '\' goes.
std::wstring Prepared(const wchar_t* itemPath) {
    std::wstring name = itemPath;
    for (wchar_t& c : name)
        if (c == L'/') c = L'\\';
    if (!name.empty() && name.back() == L'\\') name.pop_back();
    return name;
}

int DepthOf(const std::wstring& prepared) {
    int depth = 0;
    for (wchar_t c : prepared)
        if (c == L'\\') ++depth;
    return depth;
}

std::wstring LastComponent(const std::wstring& prepared) {
    return PathFindFileNameW(prepared.c_str());
}

} // namespace

void CandidateNames::AddItem(const wchar_t* itemPath) {
    std::wstring name = ToNfc(Prepared(itemPath));
    int depth = DepthOf(name);
    if (depth != previousDepth_) {
        size_t cut = name.rfind(L'\\');
        std::wstring folder = cut == std::wstring::npos ? name : name.substr(0, cut);
        names_.push_back(LastComponent(folder));
    }
    names_.push_back(LastComponent(name));
    previousDepth_ = depth;
}

void CandidateNames::AddFirstItem(const wchar_t* itemPath) {
    names_.push_back(LastComponent(ToNfc(Prepared(itemPath))));
}

void CandidateNames::AddLastComponent(const wchar_t* itemPath) {
    names_.push_back(LastComponent(ToNfc(Prepared(itemPath))));
}
