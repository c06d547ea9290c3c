// The main window's Options and About commands: the options dialog, and then
// its settings applied to the window (fonts, colours, thumbnail sizes and
// spacing).
#pragma once

#include <windows.h>

// startPage: 0 the General page (Options), 3 the Version page (About).
void OpenOptions(HWND window, int startPage);

// The pixel size of a thumbnail display (1 small, 2 normal, 3 large; 0 for none).
int ThumbnailPixelSize(int thumbnailSize);
// The list view's icon spacing for the thumbnail display in force: the
// settings' spacing plus the pixel size on each axis; a spacing of -1 keeps
// the list view's default for that axis.
void ApplyThumbnailSpacing();
