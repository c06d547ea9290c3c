// The shell's type name of a file ("ZIP ファイル"), asked once per extension:
// the first file of an extension is looked up the normal way, later files of
// the same extension get the remembered answer. Safe from any thread.
#pragma once

#include <string>

std::wstring TypeNameOf(const wchar_t* path);
