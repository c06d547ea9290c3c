#include "archive/ArchiveKinds.h"

#include <cwchar>

#include "base/Text.h"

const ArchiverLibrary kSevenZipLibrary = {L"7-zip32.dll", L"SevenZip", L"x -hide -y"};
const ArchiverLibrary kCabLibrary = {L"cab32.dll", L"Cab", L"x -hide -y"};
const ArchiverLibrary kLhaLibrary = {L"unlha32.dll", L"Unlha", L"-n -gm"};
const ArchiverLibrary kRarLibrary = {L"unrar.dll", nullptr, nullptr};

const ArchiverLibrary* const kArchiverLibraries[3] = {&kSevenZipLibrary, &kCabLibrary, &kLhaLibrary};
const ArchiverLibrary* const kOptionalLibraries[4] = {&kSevenZipLibrary, &kCabLibrary, &kLhaLibrary, &kRarLibrary};

const ArchiveKind kArchiveKinds[kArchiveKindCount] = {
    {L".zip", kKindZip, NameRoute::Zip, PictureRoute::Zip, nullptr},
    {L".7z", kKind7z, NameRoute::Libraries, PictureRoute::Library, &kSevenZipLibrary},
    {L".cab", kKindCab, NameRoute::Libraries, PictureRoute::None, nullptr},
    {L".lzh", kKindLzh, NameRoute::Libraries, PictureRoute::Library, &kLhaLibrary},
    {L".rar", kKindRar, NameRoute::Rar, PictureRoute::Rar, nullptr},
};

namespace {

bool EndsWithIgnoringAsciiCase(const wchar_t* text, const wchar_t* end) {
    size_t length = wcslen(text), endLength = wcslen(end);
    return length >= endLength && EqualsIgnoreAsciiCase(text + length - endLength, end);
}

} // namespace

const ArchiveKind* ArchiveKindOf(const wchar_t* path) {
    for (const ArchiveKind& kind : kArchiveKinds)
        if (EndsWithIgnoringAsciiCase(path, kind.extension)) return &kind;
    return nullptr;
}

bool KindFilter::Accepts(const wchar_t* path) const {
    const ArchiveKind* kind = ArchiveKindOf(path);
    return kind != nullptr && enabled[kind->index];
}

bool KindFilter::Any() const {
    for (bool on : enabled)
        if (on) return true;
    return false;
}
