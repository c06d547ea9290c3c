// The thumbnail display of the main list: the display size and the view
// that goes with it, the thumbnail runs and where their pictures go, the
// icon spacing, and the display chosen at start.
//
// While thumbnails are shown, image i of the thumbnail image list belongs to
// row i. Before a run starts, the list is grown to one image per row, the
// new images holding the placeholder; a run only ever replaces images. So a
// row the run never gets to (a run cancelled, a run that could not start)
// shows the empty square, and a later run can never give a row another
// row's picture.
//
// The image list and the list view are touched on the window's thread only:
// the run hands each thumbnail over with a sent message
// (WM_APP_THUMBNAIL_READY).
#pragma once

#include <windows.h>

#include <vector>

// The edge length in pixels of display size 1..3 (settings), 0 for none.
int ThumbnailPixels(int size);
// The display in force: 0 none, 1 small, 2 normal, 3 large.
int ThumbnailDisplay();

// At creation: the display chosen by the setting Startup.
void ApplyStartupThumbnails();
// At closing, before the settings are saved: "as at the last exit" takes
// the display in force.
void RememberThumbnailsAtExit();

// Commands 40065..40068 (size 0..3): the size in force does nothing.
void SetThumbnailSize(int size);
// Commands 40088 (all rows) and 40087 (the selected rows; all when none is
// selected), while thumbnails are shown.
void RebuildThumbnails(bool selectedOnly);
// Rows from firstRow on were added: their thumbnails, when thumbnails are
// shown. False when no run started.
bool StartThumbnailsForNewRows(int firstRow);

// The icon spacing for the current size from SpacingX/SpacingY (-1: the
// list view's default on that axis).
void SetThumbnailSpacing();

// When some rows have no thumbnail because the pictures' memory is spent,
// says so in the status bar.
void ShowThumbnailLimit();

// WM_APP_THUMBNAIL_READY: wParam the row, lParam its bitmap (a copy is kept).
void OnThumbnailReady(WPARAM row, LPARAM bitmap);

// The rows were reordered, removed or cleared: the pictures go with them.
// When only some rows have a picture, the pictures are dropped instead (none
// is better than another row's).
void PicturesFollowReorder(const std::vector<int>& order);
void PicturesFollowRemoval(const std::vector<char>& removed);
void PicturesCleared();
