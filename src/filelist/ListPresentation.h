// What the list view shows of each entry, computed on demand: cell texts,
// info tips, type-ahead and sorting by a column. No window is needed; the
// main window feeds the results to the list view.
#pragma once

#include <string>

#include "filelist/FailureReason.h"
#include "filelist/FileEntry.h"

class FileList;

// Text of one cell; empty for a column outside 0..6. The size is the
// system's KB form when sizeInKB, else its short byte-size form. A failed
// row's status says why in a few words: "リネームに失敗しました（使用中）".
std::wstring CellText(const FileEntry& entry, const RowNote& note, int column, bool sizeInKB);

// "現在のファイル名： name", with a second line for the new name when a
// proposal stands, and for a failed row the system's message of its failure.
std::wstring InfoTipText(const FileEntry& entry, const RowNote& note);

// Compares two entries by column: < 0, 0 or > 0. Sizes and times compare on
// their full 64 bits.
int CompareEntries(const FileEntry& a, const FileEntry& b, int column);

// Sorts the whole list by column, ascending or descending; equal rows keep
// their order. Thumbnail image i moves with row i. False (and the list as it
// was) when there was no memory for the sort.
bool SortByColumn(FileList& list, int column, bool descending);

// Type-ahead: the first row from start (wrapping round) whose text in column
// begins with prefix, ignoring case; -1 when none does.
int FindRowByPrefix(const FileList& list, int start, int column, const wchar_t* prefix, bool sizeInKB);
