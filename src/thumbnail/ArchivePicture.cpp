#include "thumbnail/ArchivePicture.h"

#include "thumbnail/PictureSources.h"

PictureData AllocatePicture(size_t size) {
    PictureData picture;
    if (size == 0) return picture;
    picture.memory.reset(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (picture.memory) picture.size = size;
    return picture;
}

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
