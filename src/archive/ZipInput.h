// minizip input functions for CUnZip: minizip's own Win32 functions (the
// file is opened by its UTF-16 path for reading, shared for reading) with a
// read-ahead buffer on top, because minizip reads headers a few bytes at a
// time and each unbuffered read would be a system call.
#pragma once

#include <ioapi.h>

void FillBufferedWin32FileFunc(zlib_filefunc64_def* def);
