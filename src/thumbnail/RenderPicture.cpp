#include "thumbnail/RenderPicture.h"

#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "base/ScopedWin.h"
#include "thumbnail/PictureHeader.h"
#include "thumbnail/ThumbnailCanvas.h"

PicturePlace FitPicture(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight) {
    int width = pictureWidth, height = pictureHeight;
    if (boxWidth < pictureWidth || boxHeight < pictureHeight) {
        // The ratios in single precision, the products from those values in
        // double: exactly how the sides come out is part of the thumbnails' look.
        float sx = static_cast<float>(static_cast<double>(boxWidth) / pictureWidth);
        float sy = static_cast<float>(static_cast<double>(boxHeight) / pictureHeight);
        float scale = sy <= sx ? sy : sx;
        width = static_cast<int>(pictureWidth * static_cast<double>(scale));
        height = static_cast<int>(pictureHeight * static_cast<double>(scale));
    }
    return {(boxWidth - width) / 2, (boxHeight - height) / 2, width, height};
}

HBITMAP RenderPicture(const PictureData& picture, int boxWidth, int boxHeight, int interpolationMode) {
    if (!picture || boxWidth <= 0 || boxHeight <= 0) return nullptr;
    {
        // The decoders are given only what our own reading of the header has
        // found small and whole enough (PictureHeader.h).
        ScopedGlobalLock bytes(picture.memory.get());
        if (!bytes ||
            CheckPicture(static_cast<const unsigned char*>(bytes.get()), picture.size).verdict != PictureVerdict::Fits)
            return nullptr;
    }
    IStream* raw = nullptr;
    // The stream reads the block in place and leaves it to its owner.
    if (FAILED(CreateStreamOnHGlobal(picture.memory.get(), FALSE, &raw))) return nullptr;
    ScopedCom<IStream> stream(raw);

    std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromStream(stream.get()));
    if (!image || image->GetLastStatus() != Gdiplus::Ok) return nullptr;
    int width = static_cast<int>(image->GetWidth()), height = static_cast<int>(image->GetHeight());
    if (width <= 0 || height <= 0) return nullptr;
    PicturePlace place = FitPicture(width, height, boxWidth, boxHeight);

    ThumbnailCanvas canvas(boxWidth, boxHeight);
    if (!canvas.Valid()) return nullptr;
    {
        Gdiplus::Graphics graphics(canvas.dc());
        bool known = interpolationMode >= Gdiplus::InterpolationModeDefault &&
                     interpolationMode <= Gdiplus::InterpolationModeHighQualityBicubic;
        graphics.SetInterpolationMode(known ? static_cast<Gdiplus::InterpolationMode>(interpolationMode)
                                            : Gdiplus::InterpolationModeDefault);
        // A picture whose header decodes but whose data does not fails here.
        Gdiplus::Rect target(place.x, place.y, place.width, place.height);
        if (graphics.DrawImage(image.get(), target) != Gdiplus::Ok) return nullptr;
    }
    return canvas.Finish();
}
