// The dialog for typing or picking one entry's new name. The candidates are
// the folder and file names found in the archive, sorted and each once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "naming/NamingOptions.h"

class FileList;

// Opens the dialog for row (modal to parent); 1 when a new name was stored,
// 2 otherwise. naming: how the archive's names are read for the candidates.
INT_PTR EditNewName(HWND parent, FileList& list, int row, const NamingOptions& naming);

