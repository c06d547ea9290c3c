// A picture's bytes drawn into a square thumbnail with GDI+.
//
// Contract:
// - FitPicture places a w x h picture in a box: a picture that fits is kept
//   at its size, a larger one is scaled by the smaller of the two ratios
//   box/picture, each ratio rounded to single precision and the sides
//   truncated; the result is centred, halves rounded down. (So a side that
//   should fill the box exactly can come out one pixel short: 1600 x 1200
//   in 128 is drawn 127 x 95.)
// - RenderPicture decodes the bytes and draws them so placed, with the GDI+
//   interpolation mode given (0..7; another value draws with the default),
//   into a new opaque bitmap of the box's size (ThumbnailCanvas) whose rest
//   stays black. Null when the bytes are not a picture that fits the limits
//   of CheckPicture (PictureHeader.h), which GDI+ is then never given, and
//   when GDI+ cannot decode or draw the picture, or it has no pixels. The
//   caller owns the bitmap.
// - GDI+ must have been started (CGDIPlusInit); any thread.
#pragma once

#include <windows.h>

#include "thumbnail/ArchivePicture.h"

struct PicturePlace {
    int x, y, width, height;
};

PicturePlace FitPicture(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight);

HBITMAP RenderPicture(const PictureData& picture, int boxWidth, int boxHeight, int interpolationMode);
