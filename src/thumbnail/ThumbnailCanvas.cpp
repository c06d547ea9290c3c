#include "thumbnail/ThumbnailCanvas.h"

ThumbnailCanvas::ThumbnailCanvas(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)); // zeroed: black
    dc_.reset(CreateCompatibleDC(nullptr));
    if (!Valid()) return;
    pixels_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_.get(), bitmap_.get());
}

ThumbnailCanvas::~ThumbnailCanvas() {
    Deselect();
}

void ThumbnailCanvas::Deselect() {
    if (old_) SelectObject(dc_.get(), old_);
    old_ = nullptr;
}

HBITMAP ThumbnailCanvas::Finish() {
    if (!Valid()) return nullptr;
    Deselect();
    GdiFlush(); // GDI's drawing is in the pixels before they are touched
    const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    for (size_t i = 0; i < count; ++i) pixels_[i] |= 0xFF000000u;
    return bitmap_.release();
}
