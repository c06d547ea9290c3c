// The square a thumbnail is drawn into: a 32-bit bitmap, black, selected
// into a memory device context for as long as the canvas lives.
//
// Finish() makes every pixel opaque and hands the bitmap over. Drawing
// leaves alpha values behind (GDI+ and alpha icons write them, plain GDI
// does not), and an image list takes any alpha it finds as transparency: an
// opaque thumbnail shows as drawn, black margins included, whatever image
// held its place before.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/ScopedWin.h"

class ThumbnailCanvas {
public:
    ThumbnailCanvas(int width, int height);
    ~ThumbnailCanvas();
    ThumbnailCanvas(const ThumbnailCanvas&) = delete;
    ThumbnailCanvas& operator=(const ThumbnailCanvas&) = delete;

    bool Valid() const { return bitmap_ && dc_; }
    HDC dc() const { return dc_.get(); }
    // The finished bitmap, owned by the caller; null when the canvas is not valid.
    HBITMAP Finish();

private:
    void Deselect();

    int width_, height_;
    uint32_t* pixels_ = nullptr;
    ScopedBitmap bitmap_;
    ScopedMemoryDC dc_;
    HGDIOBJ old_ = nullptr;
};
