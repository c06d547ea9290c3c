// The block a second instance sends the running window with WM_COPYDATA:
// one absolute path per message, as UTF-16 with its terminator.
#pragma once

#include <windows.h>

#include <string>

// The block's kind (COPYDATASTRUCT::dwData).
const ULONG_PTR kHandOverPathKind = 1;

// The block that carries path; it points into path, which must outlive it.
COPYDATASTRUCT HandOverBlockOf(const std::wstring& path);

// The path of another process's block: the kind, an even size of 1..260
// units, a terminator inside it and an absolute path, or false. A relative
// path would be read against the receiver's current folder, not the sender's.
bool ReadHandOverBlock(const COPYDATASTRUCT* data, std::wstring& path);
