// Replacing a file so that a crash or a failure never leaves it half written:
// the bytes go to "<path>.tmp" first, which then replaces <path> in one move.
#pragma once

#include <cstddef>

// False when the temporary file could not be written or could not replace
// the old one; the old file is then untouched and no temporary file is left.
bool WriteFileAtomically(const wchar_t* path, const void* data, size_t bytes);
