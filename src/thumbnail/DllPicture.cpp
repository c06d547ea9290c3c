// The picture of an LZH or 7z archive, through the library of the common
// archiver interface that reads it.
#include <string>

#include "archive/ArcDll.h"
#include "thumbnail/PictureChoice.h"
#include "thumbnail/PictureSources.h"

PictureData DllPicture(const wchar_t* path, bool firstFile, const ArchiverLibrary& library) {
    CArcDll dll;
    if (!dll.LoadDll(library)) return PictureData();
    if (dll.GetRunning()) return PictureData();
    dll.SetCursorMode(false);
    if (!dll.CheckArchive(path) || dll.OpenArchive(path) == nullptr) return PictureData();
    if (dll.FindFirst(L"*.*", nullptr) != 0) return PictureData();

    PictureChoice choice(firstFile);
    std::wstring name;
    for (int position = 0;; ++position) {
        if (dll.GetFileName(name) == 0) {
            // Without GetAttribute (or when it fails) every item counts as a
            // directory: no candidate.
            int attributes = dll.Offers(kFnGetAttribute) ? dll.GetAttribute() : 0xFF;
            bool directory = (attributes & kAttrDirectory) != 0;
            int64_t size = 0;
            if (!directory && !dll.GetOriginalSizeEx(&size)) size = 0;
            if (choice.Offer(position, name.c_str(), size > 0 ? static_cast<uint64_t>(size) : 0, directory)) break;
        }
        // -1 is the end of the listing; any other non-zero result an error.
        if (!dll.Offers(kFnFindNext) || dll.FindNext(nullptr) != 0) break;
    }
    if (!choice.HasChoice()) return PictureData();
    dll.CloseArchive();

    PictureData picture = AllocatePicture(static_cast<size_t>(choice.Size()));
    if (!picture) return picture;
    void* bytes = GlobalLock(picture.memory.get());
    int result = bytes ? dll.ExtractMemberToMemory(path, choice.Name().c_str(), bytes, static_cast<DWORD>(picture.size))
                       : -1;
    if (bytes) GlobalUnlock(picture.memory.get());
    return result == 0 ? std::move(picture) : PictureData();
}
