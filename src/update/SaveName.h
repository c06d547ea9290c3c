// Where the update check saves: the file name the server publishes made
// safe to offer, and the ".zip" every saved path ends with.
//
// Contract:
// - MakeSafeSaveName keeps what follows the last '\', '/' or ':' (never a
//   drive or a folder), drops trailing dots and spaces (Windows would), and
//   refuses an empty name, a device name (CON, PRN, AUX, NUL, COM1-COM9,
//   LPT1-LPT9 and the superscript COM/LPT 1-3, with or without an extension
//   and trailing spaces) and a name holding a character no file name may
//   hold (< > " | ? * or a control character). It then adds ".zip" unless
//   the name ends so (in any case), and refuses a name that no longer fits.
//   Refused, the buffer is left empty.
// - AddZipExtension adds ".zip" unless the text ends so; false, unchanged,
//   when it would not fit capacity units with its terminator.
#pragma once

#include <cstddef>

bool EndsWithZip(const wchar_t* text);
bool AddZipExtension(wchar_t* text, size_t capacity);

bool MakeSafeSaveName(wchar_t* name, size_t capacity);

template <size_t N>
bool MakeSafeSaveName(wchar_t (&name)[N]) {
    return MakeSafeSaveName(name, N);
}
