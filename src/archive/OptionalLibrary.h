// Loading the optional archiver libraries. Looking for a missing library
// costs more than reading a small archive, and each operation loads its
// library afresh, so a library that could not be loaded is not looked for
// again in this process; one added later is found after a restart.
#pragma once

#include <windows.h>

// LoadLibraryW(name), or null at once for a library known to be missing.
HMODULE LoadOptionalLibrary(const wchar_t* name);

// Lets the next load look for every library again (for tests that change
// where libraries are found).
void ForgetMissingLibraries();
