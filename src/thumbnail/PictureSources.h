// The readers LoadArchivePicture dispatches to, one per way into an archive.
// Each opens, chooses, unpacks and closes within the call.
#pragma once

#include "archive/ArchiveKinds.h"
#include "thumbnail/PictureData.h"

PictureData ZipPicture(const wchar_t* path, bool firstFile);
PictureData RarPicture(const wchar_t* path, bool firstFile);
// Through a library of the common archiver interface, with its own
// extraction switches.
PictureData DllPicture(const wchar_t* path, bool firstFile, const ArchiverLibrary& library);
