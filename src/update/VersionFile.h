// The version file the update server publishes (version.dat): text in the
// ANSI code page whose first line reads "version,file name,server path" and
// may go on ",sha256", for example
// "1.4.0.0,Zorvel-1.4.0.0.zip,/update/Zorvel-1.4.0.0.zip,<64 hex digits>".
// Readers of the three fields stop at the third comma, so the fourth
// changes nothing for them.
//
// Contract:
// - Only the first line counts: it ends at the first CR, LF or NUL byte, or
//   with the bytes read. It is converted into a buffer of 127 units (126
//   characters and the terminator); a first line that does not fit is
//   refused as a whole, never cut.
// - The fields are separated by commas, in this order; a field the line does
//   not reach, and every field after an empty one, stays empty.
// - The fourth field, when present and not empty, is the SHA-256 of the
//   archive as 64 hexadecimal digits (either case); anything else there
//   (another length, another character, a fifth field) refuses the line: a
//   hash the server meant to give but garbled must not turn into a download
//   that nobody checks.
// - Versions are compared number by number (major, minor, build, revision):
//   each number is the decimal value at the start of its dot-separated
//   piece (0 when there is none), and a text of fewer than four pieces uses
//   its last piece again for the missing ones.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/Run.h"
#include "update/Sha256.h"
#include "update/UpdateServer.h"

const size_t kVersionTextUnits = 127;  // the converted first line, terminator included
const size_t kVersionFieldUnits = 128; // one field

struct VersionFile {
    wchar_t version[kVersionFieldUnits];    // the latest version
    wchar_t fileName[kVersionFieldUnits];   // the name offered in the save dialog
    wchar_t serverPath[kVersionFieldUnits]; // what to ask the server for
    bool hasSha256;                         // the line gave the archive's hash
    uint8_t sha256[kSha256Bytes];
};

// False when the first line is empty, does not fit the conversion buffer or
// has a fourth field that is no SHA-256.
bool ParseVersionFile(const char* bytes, size_t count, VersionFile& file);

// True when published names a later version than own.
bool IsNewerVersion(const wchar_t* own, const wchar_t* published);

// The fixed file version of the module at modulePath as "1.3.9.0"; false
// when it has no version resource or there is no memory to read it.
bool ReadOwnVersion(const wchar_t* modulePath, wchar_t* text, size_t capacity);

// Asks the server's versionUrl for the version file (HttpGet: never from a
// cache, redirects, waits, cancel) and compares its version with the own one
// of the program at programPath: 1 when a newer version is published, 0 when
// not, -1 when either could not be had (no version resource, no connection,
// a reply other than 2xx, a Content-Length that is no 32-bit number, a first
// line that does not fit, a version that does not start with a digit, or a
// cancel). On 0 published holds the file's fields; on 1 too, with the file
// name made safe (MakeSafeSaveName), and a name that it refuses gives -1.
int FetchLatestVersion(const wchar_t* programPath, const UpdateServer& server, VersionFile& published,
                       const CancelFlag& cancel);
