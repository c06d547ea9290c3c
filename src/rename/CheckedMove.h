// Moving an archive to its new name, and making sure it got that name.
//
// The file system can report a rename as done when it is not: a change of
// letter case alone may leave the old name in place, and a name too long for
// the file system may be cut (losing its extension). So the file is moved
// through an open handle, which follows it wherever it lands, and is then
// looked up under the new name.
#pragma once

#include "filelist/FailureReason.h"

// Moves the file from -> to (same folder) without ever replacing another
// file. The note is empty exactly when the file is afterwards found under
// exactly to's name (letter case included); otherwise it is put back under
// from and the note says why the move failed.
RowNote MoveFileNoted(const wchar_t* from, const wchar_t* to);

// The same, as a yes or no.
inline bool MoveFileChecked(const wchar_t* from, const wchar_t* to) {
    return MoveFileNoted(from, to).reason == FailureReason::None;
}
