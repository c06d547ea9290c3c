#include "rename/RenameEntry.h"

#include <windows.h>

#include "base/Text.h"
#include "filelist/FileList.h"
#include "naming/NameFormat.h"
#include "rename/CheckedMove.h"
#include "rename/RenameLog.h"

bool RenameEntry(FileList& list, int index) {
    FileEntry& e = list.At(index);
    if (e.status == kStatusRenamed) return false;
    if (e.status == kStatusNone) DeriveNewName(list, index);
    if (e.status != kStatusReady) {
        if (LoggingEnabled()) AppendLogLine(kLogError, e.fullPath, L"");
        return false;
    }
    if (!MoveFileChecked(e.fullPath, e.newFullPath)) {
        e.status = kStatusRenameFailed;
        if (LoggingEnabled()) AppendLogLine(kLogFailure, e.fullPath, e.newName);
        return false;
    }
    CopyText(e.undoName, e.name);
    CopyText(e.undoPath, e.fullPath);
    CopyText(e.name, e.newName);
    list.SetFullPath(index, e.newFullPath);
    e.newName[0] = L'\0';
    e.newFullPath[0] = L'\0';
    e.status = kStatusRenamed;
    if (LoggingEnabled()) AppendLogLine(kLogSuccess, e.undoPath, e.name);
    return true;
}

bool UndoRename(FileList& list, int index) {
    FileEntry& e = list.At(index);
    if (e.status != kStatusRenamed) return false;
    if (!MoveFileChecked(e.fullPath, e.undoPath)) {
        e.status = kStatusRenameFailed;
        return false;
    }
    CopyText(e.name, e.undoName);
    list.SetFullPath(index, e.undoPath);
    e.newName[0] = L'\0';
    e.newFullPath[0] = L'\0';
    e.undoName[0] = L'\0';
    e.undoPath[0] = L'\0';
    e.status = kStatusNone;
    return true;
}
