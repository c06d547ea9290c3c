// The window's texts come from the string table, where each has its one
// home; these load them.
#pragma once

#include <windows.h>

#include <string>

// The string id of the program's string table; "" when it has none.
std::wstring LoadText(UINT id);

// The string id used as a printf format with the arguments given. Texts
// longer than 1,023 units are cut (none of ours comes near).
std::wstring FormatText(UINT id, ...);
