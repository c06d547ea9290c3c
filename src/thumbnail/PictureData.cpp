#include "thumbnail/PictureData.h"

PictureData AllocatePicture(size_t size) {
    PictureData picture;
    if (size == 0) return picture;
    picture.memory.reset(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (picture.memory) picture.size = size;
    return picture;
}
