// Unpacks one ZIP member, stored or deflated, into the caller's memory.
//
// Contract:
// - ExtractZipMember returns 0 and sets *written to the member's size when
//   its data unpacks to exactly the size and CRC-32 the central directory
//   gives. Otherwise it returns an ArchiverError: kErrBufferSmall when the
//   member is larger than `capacity` (nothing is read), kErrPassword for an
//   encrypted member, kErrMethod for a method other than stored (0) and
//   deflated (8), kErrHeader when the local header is missing or the data
//   lies outside the file, kErrData when the data is damaged, kErrCannotRead
//   when the file cannot be read. On failure *written is 0 and the buffer's
//   contents are unspecified.
// - Never writes more than `capacity` bytes.
#pragma once

#include <windows.h>

#include "ArchiveFile.h"
#include "ZipDirectory.h"

namespace archiver {

int ExtractZipMember(ArchiveFile& file, const ZipEntry& entry, uint8_t* out, size_t capacity, size_t* written);

}  // namespace archiver
