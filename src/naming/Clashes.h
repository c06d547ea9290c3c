// Clashes foreseen before anything is moved: a proposed name that a file or
// folder on disk already has (status 14), and one an earlier ready row of the
// list proposes too (status 15). Names are compared as the file system
// compares them: without regard to case, and after Unicode normalisation to
// NFC, so two proposals that differ only in either clash.
#pragma once

#include <string>

class FileList;

// The form two paths are compared in: NFC, then upper case.
std::wstring ClashKey(const wchar_t* path);

// True when target names a file or folder on disk that is not the file at
// own (a change of letter case alone names the file itself).
bool TargetTaken(const wchar_t* target, const wchar_t* own);

enum class DiskCheck {
    All,       // every row whose proposal stands is looked up on disk again
    Unsettled, // only rows that clashed before (14, 15) and extraRow
};

// Looks again, in list order, at the rows whose proposal stands (ready, 14,
// 15) and gives each the status it has now: 15 when an earlier ready row
// proposes the same path, else 14 when the disk has that path (as checked),
// else ready. Other rows keep their status (a failed row its reason).
// Stores only the rows that change. On the thread that owns the list's shape.
void ForeseeClashes(FileList& list, DiskCheck check, int extraRow = -1);
