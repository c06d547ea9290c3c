// Finding the top-level folder stored in an archive.
//
// The reader is chosen by extension: .zip goes to the archiver libraries
// first when Use7zip32 is on and falls back to the built-in ZIP reader;
// .rar goes to the RAR library; everything else to the archiver libraries.
// The folder is taken from the first item, in the reader's order, whose path
// holds a separator: the text before its first separator.
#pragma once

#include <string>
#include <vector>

// Writes the folder name (at most 259 units) into out and returns 0, or
// returns an EntryStatus from 6 to 12 saying why there is none.
int DiscoverFolderName(const wchar_t* archivePath, wchar_t (&out)[260]);

// Appends the folder and file names found in the archive, in the reader's
// order, for the edit dialog. False when the archive could not be listed.
bool CollectNameCandidates(const wchar_t* archivePath, std::vector<std::wstring>& names);

// The text before the first '\' of path, else before its first '/': true.
// A path with neither is copied whole: false.
bool TopFolderOf(const wchar_t* path, std::wstring& top);
