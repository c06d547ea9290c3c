// The picture inside an archive, as bytes in memory.
//
// Contract:
// - LoadArchivePicture(path, firstFile) chooses the archive's picture (see
//   PictureChoice.h) and unpacks only that item, into memory. By the
//   extension of path: .zip through the built-in reader (always), .rar
//   through unrar.dll, .lzh through unlha32.dll, .7z through 7-zip32.dll;
//   any other kind (.cab included) gives nothing.
// - Every failure gives an empty PictureData: a missing or busy library, an
//   archive that cannot be read, a multi-volume, solid or header-encrypted
//   RAR archive, no candidate, or an item whose unpacking fails (no other
//   candidate is tried then). Nothing is shown, nothing is written to disk.
// - The bytes are exactly the item's, in a movable global memory block that
//   a stream can be made over.
// - Runs on any thread; every reader and library is opened and released
//   within the call.
#pragma once

#include "thumbnail/PictureData.h"

PictureData LoadArchivePicture(const wchar_t* path, bool firstFile);
