// One entry's new name as the edit dialog offers and stores it: the
// candidate list in the order shown, and storing a typed or picked name.
#pragma once

#include <string>
#include <vector>

class FileList;

// The candidates as the dialog lists them: sorted by UTF-16 code units,
// each name once.
std::vector<std::wstring> SortedCandidates(std::vector<std::wstring> names);

// Stores text as the entry's new name (status ready). False, with nothing
// changed, when the new full path would not fit the record.
bool StoreEditedName(FileList& list, int row, const wchar_t* text);
