// Which item of an archive is its picture. The same rule serves every
// archive kind: the items are offered in the archive's stored order, and
// the choice is the first picture candidate (FirstFile on) or the candidate
// whose name sorts first in logical order (FirstFile off).
//
// A candidate is an item that is no directory, holds 1 to kMaxPictureBytes
// bytes, and whose name (its path in the archive, as the reader gives it)
// ends in one of the picture extensions.
#pragma once

#include <cstdint>
#include <string>

const uint64_t kMaxPictureBytes = 0x8000000; // 128 MiB

// True when name's extension (as PathFindExtensionW finds it) is one of
// .bmp .gif .ico .jpe .jpeg .jpg .jif .jfi .jfif .png .tif .tiff, in any
// case of the ASCII letters.
bool IsPictureName(const wchar_t* name);

// StrCmpLogicalW(candidate, chosen) of the system's shlwapi.dll: -1 when
// candidate sorts before chosen; 0 when the function is not available.
int CompareLogical(const wchar_t* chosen, const wchar_t* candidate);

using LogicalCompare = int (*)(const wchar_t* chosen, const wchar_t* candidate);

class PictureChoice {
public:
    explicit PictureChoice(bool firstFile, LogicalCompare compare = CompareLogical)
        : firstFile_(firstFile), compare_(compare) {}

    // Offers the item at position (its index in stored order). True when
    // reading may stop: FirstFile is on and a picture has been chosen.
    bool Offer(int position, const wchar_t* name, uint64_t size, bool directory);

    bool HasChoice() const { return position_ >= 0; }
    int Position() const { return position_; }
    const std::wstring& Name() const { return name_; }
    uint64_t Size() const { return size_; }

private:
    bool firstFile_;
    LogicalCompare compare_;
    int position_ = -1;
    std::wstring name_;
    uint64_t size_ = 0;
};
