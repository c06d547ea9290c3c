// The status bar's three parts, the progress bar over part 0, and the
// refresh after every change of the list.
#pragma once

#include <windows.h>

void CreateStatusBar(HWND window);
void LayoutStatusBar(int clientWidth);
void SetStatusText(int part, const wchar_t* text);

// Focus to the list, optionally the last row into view, the idle texts and a
// redraw of all rows.
void UpdateListStatus(bool scrollToEnd);

// The third part: the number of selected rows, or the cancel hint while a run goes on.
void UpdateSelectionCounter();

// A fresh progress bar over part 0 with range 0..range.
HWND CreateStatusProgress(int range);
void DestroyStatusProgress();
