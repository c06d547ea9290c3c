// Adding files: the archive-kind filter, the recursive folder walk, and the
// two adding workers (folder and drop). Every path ends in
// FileList::AddFileEntry.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "archive/ArchiveKinds.h"
#include "base/Run.h"

class FileList;

// Adds every file below folder of the given kind; stops early
// when cancel is set. Folder links and junctions are not followed, and no
// folder is walked twice.
void AddFolder(FileList& list, const wchar_t* folder, const ArchiveKind& kind, const CancelFlag& cancel);

// A folder (or an unreadable path) is walked once per enabled kind, in
// table order; a file is added when its kind is enabled. An empty or blank
// path adds nothing. Returns 1 for an archive of a kind that is switched
// off (passed over), else 0.
int AddPath(FileList& list, const wchar_t* path, const KindFilter& kinds, const CancelFlag& cancel);

// The paths of a drop, each at most 259 units (longer ones cannot be added).
// They are read out of the drop on the window's thread, so a drop that
// arrives while another run goes on can wait for its turn without holding
// the drop handle.
std::vector<std::wstring> DroppedPaths(HDROP drop);

// A folder path of this many units or more is not walked: no file below it
// would fit a record's path.
const size_t kMaxFolderUnits = 262;

// The work of the adding runs: each adds to list, stops between items when
// the run is cancelled and reports nothing itself but progress.
void AddFolderOfEveryKind(FileList& list, const wchar_t* folder, const KindFilter& kinds, const CancelFlag& cancel);
// Progress(paths done); returns the archives of kinds switched off that were passed over.
int AddPaths(FileList& list, const std::vector<std::wstring>& paths, const KindFilter& kinds, Run& run);
