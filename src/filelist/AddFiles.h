// Adding files: the archive-kind filter, the recursive folder walk, and the
// two adding workers (folder and drop). Every path ends in
// FileList::AddFileEntry.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "base/Run.h"
#include "settings/Settings.h"

class FileList;

// The five archive kinds in the order folders are walked.
struct ArchiveKind {
    const wchar_t* extension; // with the dot
    ArchiveKindIndex flag;    // its enable flag in Settings::EnableKind
};
extern const ArchiveKind kArchiveKinds[kArchiveKindCount];

// The extension of path (from the last dot of its last component) is that
// of an enabled kind, ignoring the case of ASCII letters.
bool IsEnabledArchive(const wchar_t* path);
bool AnyKindEnabled();

// Adds every file below folder whose extension is extension; stops early
// when WorkActive is cleared. Folder links and junctions are not followed,
// and no folder is walked twice.
void AddFolder(FileList& list, const wchar_t* folder, const wchar_t* extension);

// A folder (or an unreadable path) is walked once per enabled kind, in
// table order; a file is added when its kind is enabled. An empty or blank
// path adds nothing.
void AddPath(FileList& list, const wchar_t* path);


struct FolderAddJob {
    RunEvents* events; // Finished(first new row, 0)
    wchar_t folder[262];
    int firstRow;
};

// The dropped (or handed-over) paths are read out of the drop on the
// window's thread, so a drop that arrives while another run goes on can wait
// for its turn without holding the drop handle.
struct DropAddJob {
    RunEvents* events; // Progress(paths done), Finished(first new row, 0)
    std::vector<std::wstring> paths;
    int firstRow;
};

// The paths of a drop, each at most 259 units (longer ones cannot be added).
std::vector<std::wstring> DroppedPaths(HDROP drop);

extern FolderAddJob g_folderAddJob;
extern DropAddJob g_dropAddJob;

// Thread entries. Each takes WorkLock for its run, adds to Files() and
// reports through its job's events.
DWORD WINAPI FolderAddWorker(LPVOID);
DWORD WINAPI DropAddWorker(LPVOID);
