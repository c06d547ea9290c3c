// The open-file and folder dialogs of the adding commands.
#pragma once

#include <windows.h>

#include <string>

#include "archive/ArchiveKinds.h"

class FileList;

// Offers the files of the enabled kinds and adds the chosen ones to list;
// true when at least one was added.
bool OpenFilesDialog(HWND parent, FileList& list, const KindFilter& kinds);

// The chosen folder in folder; false when none was chosen.
bool BrowseFolderDialog(HWND parent, std::wstring& folder);

// The viewer program chosen in an open dialog whose filter is string
// filterText; false when none was chosen or a folder was.
bool ChooseViewerDialog(HWND parent, UINT filterText, wchar_t (&path)[MAX_PATH]);

// A filter string of the string table ("name|pattern|...|") in the form the
// common dialogs take ('|' turned into terminators).
std::wstring DialogFilter(const std::wstring& text);

// The message for a common dialog's error code (CommDlgExtendedError), when
// there is one.
void ShowDialogError(HWND parent, DWORD code);
