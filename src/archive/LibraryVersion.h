// The versions of the optional archiver libraries, as the version page lists
// them. Each library is found the way the program loads it (its bare file
// name through LoadLibraryW's search), so the list shows the build the
// program would use: ours beside the program, or another one found first.
#pragma once

#include <string>

// "1.02.3.04" from the library's file version; "---------" when its version
// resource cannot be read; "OK          " (OK and ten blanks) when it has
// none; "------------" when no such library can be loaded.
std::wstring LibraryVersionText(const wchar_t* fileName);

// One line per library in the order 7-zip32.dll, cab32.dll, unlha32.dll,
// unrar.dll: the name left-aligned in 16 places, a tab, the version text
// left-aligned in 12 places, CR LF.
std::wstring ArchiverLibraryList();
