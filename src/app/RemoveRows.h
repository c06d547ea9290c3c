// Rows leaving the list: the selected ones, the ones in error, all of them
// after a question, and the selected files moved to the recycle bin. All run
// on the window's thread and leave the list view in step.
#pragma once

#include <windows.h>

class FileList;

void RemoveSelected(FileList& list, HWND listView);
void RemoveErrors(FileList& list, HWND listView);
// Asks first; false when the user said No.
bool ClearList(FileList& list, HWND window);
// Asks first, recycles through the shell; the rows go only when the shell
// reports no abort. keepOnTop: the window is topmost and must not hide the
// question or the shell's progress.
void RecycleSelected(FileList& list, HWND window, HWND listView, bool keepOnTop);
