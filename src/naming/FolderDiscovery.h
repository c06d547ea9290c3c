// Finding the top-level folder stored in an archive.
//
// The reader is chosen by extension: .zip goes to the archiver libraries
// first when Use7zip32 is on and falls back to the built-in ZIP reader;
// .rar goes to the RAR library; everything else to the archiver libraries.
// The folder is taken from the first item, in the reader's order, that lies
// in a folder (see PlaceOfItem), and given in normalisation form C, so an
// archive made on macOS gives the same name as one made elsewhere.
#pragma once

#include <string>
#include <vector>

#include "naming/NamingOptions.h"

// Writes the folder name (at most 259 units) into out and returns 0, or
// returns an EntryStatus from 6 to 12 saying why there is none.
int DiscoverFolderName(const wchar_t* archivePath, const NamingOptions& options, wchar_t (&out)[260]);

// Appends the folder and file names found in the archive, in the reader's
// order, for the edit dialog. False when the archive could not be listed.
bool CollectNameCandidates(const wchar_t* archivePath, const NamingOptions& options,
                           std::vector<std::wstring>& names);

// Where an item's path puts it. The separator is '\' when the path holds
// one, else '/'. Leading "." components ("./Photos/a.jpg", as tar writes
// from inside a folder) are passed over.
enum class ItemPlace {
    Top,      // no separator left: the item lies in no folder
    Folder,   // top is the folder it lies in
    NoFolder, // its first component is empty or "..": that names no folder
    Ignored,  // in "__MACOSX", where macOS keeps resource forks: never the archive's folder
};
ItemPlace PlaceOfItem(const wchar_t* path, std::wstring& top);
