#include "thumbnail/ArchivePicture.h"

#include "thumbnail/PictureSources.h"

PictureData LoadArchivePicture(const wchar_t* path, bool firstFile) {
    const ArchiveKind* kind = ArchiveKindOf(path);
    switch (kind ? kind->pictures : PictureRoute::None) {
    case PictureRoute::Zip: return ZipPicture(path, firstFile);
    case PictureRoute::Rar: return RarPicture(path, firstFile);
    case PictureRoute::Library: return DllPicture(path, firstFile, *kind->pictureLibrary);
    case PictureRoute::None: break;
    }
    return PictureData(); // cabinets, and anything else, have no picture
}
