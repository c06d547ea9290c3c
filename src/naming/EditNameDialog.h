// The dialog for typing or picking one entry's new name. The candidates are
// the folder and file names found in the archive, sorted and each once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class FileList;

// Opens the dialog for row (modal to parent); 1 when a new name was stored,
// 2 otherwise.
INT_PTR EditNewName(HWND parent, FileList& list, int row);

// The candidates as the dialog lists them: sorted by UTF-16 code units,
// each name once.
std::vector<std::wstring> SortedCandidates(std::vector<std::wstring> names);

// Stores text as the entry's new name (status ready). False, with nothing
// changed, when the new full path would not fit the record.
bool StoreEditedName(FileList& list, int row, const wchar_t* text);

extern const wchar_t kEditNameCaption[];
