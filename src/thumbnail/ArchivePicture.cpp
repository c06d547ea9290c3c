#include "thumbnail/ArchivePicture.h"

#include <shlwapi.h>

#include "base/Text.h"
#include "thumbnail/PictureSources.h"

PictureData AllocatePicture(size_t size) {
    PictureData picture;
    if (size == 0) return picture;
    picture.memory.reset(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (picture.memory) picture.size = size;
    return picture;
}

PictureData LoadArchivePicture(const wchar_t* path, bool firstFile) {
    const wchar_t* extension = PathFindExtensionW(path);
    if (EqualsIgnoreAsciiCase(extension, L".zip")) return ZipPicture(path, firstFile);
    if (EqualsIgnoreAsciiCase(extension, L".rar")) return RarPicture(path, firstFile);
    if (EqualsIgnoreAsciiCase(extension, L".lzh")) return DllPicture(path, firstFile, L"UNLHA32.DLL", L"Unlha");
    if (EqualsIgnoreAsciiCase(extension, L".7z")) return DllPicture(path, firstFile, L"7-zip32.dll", L"SevenZip");
    return PictureData(); // cabinets, and anything else, have no picture
}
