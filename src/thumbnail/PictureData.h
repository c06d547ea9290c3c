// A picture's bytes in memory: a movable global memory block, as a stream
// can be made over it.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/ScopedWin.h"

struct PictureData {
    ScopedGlobal memory; // GMEM_MOVEABLE | GMEM_ZEROINIT
    size_t size = 0;
    explicit operator bool() const { return static_cast<bool>(memory); }
};

// A movable, zeroed block of size bytes (1 or more); empty on failure.
PictureData AllocatePicture(size_t size);
