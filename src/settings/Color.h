// Colour texts of the configuration file and the design page.
#pragma once

#include <windows.h>

// Reads "#RRGGBB", "RRGGBB", "r,g,b" or a decimal COLORREF; anything else is 0.
COLORREF ParseColor(const wchar_t* text);

// Writes "#RRGGBB" (upper-case hex) into buf, which holds at least 8 units.
void FormatColor(COLORREF color, wchar_t* buf, size_t capacity);
