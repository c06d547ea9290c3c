// The picture of a ZIP archive, through the built-in reader.
#include <cstring>

#include "archive/UnZip.h"
#include "thumbnail/PictureChoice.h"
#include "thumbnail/PictureSources.h"

PictureData ZipPicture(const wchar_t* path, bool firstFile) {
    CUnZip zip;
    if (!zip.Open(path) || zip.ItemCount() == 0) return PictureData();
    PictureChoice choice(firstFile);
    for (int i = 0; i < zip.ItemCount(); ++i) {
        // A damaged record ends the listing; what was chosen before stays.
        if (zip.GetItem(i) != kZipOk) break;
        const ZipItem& item = zip.Item();
        // The record's size is signed; a negative one is no picture.
        uint64_t size = item.uncompressedSize > 0 ? static_cast<uint64_t>(item.uncompressedSize) : 0;
        if (choice.Offer(i, item.name, size, (item.attributes & kZipDirectory) != 0)) break;
    }
    if (!choice.HasChoice()) return PictureData();
    PictureData picture = AllocatePicture(static_cast<size_t>(choice.Size()));
    if (!picture) return picture;
    void* bytes = GlobalLock(picture.memory.get());
    uint32_t result = bytes ? zip.UnzipToMemory(choice.Position(), bytes, static_cast<uint32_t>(picture.size))
                            : kZipUnpackFailed;
    if (bytes) GlobalUnlock(picture.memory.get());
    return result == kZipOk ? std::move(picture) : PictureData();
}
