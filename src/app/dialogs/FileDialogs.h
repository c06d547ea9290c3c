// The open-file and folder dialogs of the adding commands.
#pragma once

#include <windows.h>

#include <string>

class FileList;

// Adds the chosen files to list; true when at least one was added.
bool OpenFilesDialog(HWND parent, FileList& list);

// The chosen folder in folder; false when none was chosen.
bool BrowseFolderDialog(HWND parent, std::wstring& folder);

// The message for a common dialog's error code (CommDlgExtendedError).
void ShowDialogError(HWND parent, DWORD code);
