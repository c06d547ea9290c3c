// The new-name format and its expansion into an entry's new name.
//
// The format (NamingOptions::format, from Settings::Format) describes the new name without extension;
// the current extension is always kept. Placeholders, expanded in this order,
// each step seeing the text inserted by the earlier ones:
//   %orig  the current file name without extension
//   %new   the top-level folder inside the archive
//   %dir   the last component of the entry's folder ("" for a drive root)
//   %date  last-write date in local time, YYYYMMDD
//   %time  last-write time of day in local time, HHMM
// Anything else (%Date included) is literal text.
#pragma once

#include <string>

#include "naming/NamingOptions.h"

class FileList;
struct FileEntry;

// The nine characters a file name may not hold, \ / : * ? " < > |, the
// control characters (U+0001-U+001F, U+007F) and lone surrogates.
bool HasForbiddenChar(const wchar_t* text);

// text with each of the nine characters replaced by its full-width form
// (＼ ／ ： ＊ ？ ＂ ＜ ＞ ｜); control characters stay as they are.
std::wstring WithFullWidthForbidden(const std::wstring& text);

// source with every occurrence of pattern replaced (left to right, never
// overlapping, the replacement never searched again).
std::wstring ReplaceAll(const std::wstring& source, const std::wstring& pattern, const std::wstring& replacement);

// Derives the new name of row index from the format: sets newName,
// newFullPath and status together. True exactly when the status becomes
// ready. A name that a file or folder on disk already has (not the entry's
// own file) keeps its proposal with status 14. A renamed entry is left alone.
bool DeriveNewName(FileList& list, int index, const NamingOptions& options);
// The same for a record of the caller's (a worker's copy of a row).
bool DeriveNewName(FileEntry& entry, const NamingOptions& options);

// Message texts for a name or a format holding a forbidden character.
extern const wchar_t kForbiddenInNameMessage[];
extern const wchar_t kForbiddenInFormatMessage[];
extern const wchar_t kFormatCaption[];
