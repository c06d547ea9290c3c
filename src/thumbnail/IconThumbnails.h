// Thumbnails without a picture: the file type's icon, and the empty square
// that stands for a row whose thumbnail is not (yet) made.
//
// Both return a new opaque bitmap of the box's size (ThumbnailCanvas), black
// where nothing is drawn, owned by the caller (null only when GDI has no
// memory).
// Any thread; the shell is asked by extension only, so the file itself is
// never touched.
#pragma once

#include <windows.h>

// The shell's large icon for path's type, at its own size, centred.
HBITMAP TypeIconThumbnail(int boxWidth, int boxHeight, const wchar_t* path);

// icon (of module, at the system's icon size) at the top-left corner; the
// program's placeholder icon is transparent but for one faint pixel. Without
// the icon the square is simply black.
HBITMAP PlaceholderThumbnail(int boxWidth, int boxHeight, HINSTANCE module, int iconId);
