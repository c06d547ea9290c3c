#include "rename/RenameEntry.h"

#include <windows.h>

#include "base/Text.h"
#include "filelist/FileList.h"
#include "naming/NameFormat.h"
#include "rename/CheckedMove.h"
#include "rename/RenameLog.h"

namespace {

// The entry's copy, changed, goes back to the list in one step.
bool Stored(FileList& list, int index, const FileEntry& entry, bool result) {
    list.StoreEntry(index, entry);
    return result;
}

} // namespace

RenameOptions RenameOptions::From(const Settings& settings) {
    RenameOptions options;
    options.naming = NamingOptions::From(settings);
    options.maxLine = settings.MaxLine;
    return options;
}

bool RenameEntry(FileList& list, int index, const RenameOptions& options) {
    FileEntry e;
    if (!list.CopyEntry(index, e) || e.status == kStatusRenamed) return false;
    if (e.status == kStatusNone) DeriveNewName(e, options.naming);
    if (e.status != kStatusReady) {
        if (options.Logging()) AppendLogLine(kLogError, e.fullPath, L"");
        return Stored(list, index, e, false);
    }
    if (!MoveFileChecked(e.fullPath, e.newFullPath)) {
        e.status = kStatusRenameFailed;
        if (options.Logging()) AppendLogLine(kLogFailure, e.fullPath, e.newName);
        return Stored(list, index, e, false);
    }
    CopyText(e.undoName, e.name);
    CopyText(e.undoPath, e.fullPath);
    CopyText(e.name, e.newName);
    CopyText(e.fullPath, e.newFullPath);
    e.newName[0] = L'\0';
    e.newFullPath[0] = L'\0';
    e.status = kStatusRenamed;
    // Stored before the log line: a close right after the move finds the row renamed.
    Stored(list, index, e, true);
    if (options.Logging()) AppendLogLine(kLogSuccess, e.undoPath, e.name);
    return true;
}

bool UndoRename(FileList& list, int index, const RenameOptions&) {
    FileEntry e;
    if (!list.CopyEntry(index, e) || e.status != kStatusRenamed) return false;
    if (!MoveFileChecked(e.fullPath, e.undoPath)) {
        e.status = kStatusRenameFailed;
        return Stored(list, index, e, false);
    }
    CopyText(e.name, e.undoName);
    CopyText(e.fullPath, e.undoPath);
    e.newName[0] = L'\0';
    e.newFullPath[0] = L'\0';
    e.undoName[0] = L'\0';
    e.undoPath[0] = L'\0';
    e.status = kStatusNone;
    return Stored(list, index, e, true);
}

bool DeriveEntry(FileList& list, int index, const RenameOptions& options) {
    return DeriveNewName(list, index, options.naming);
}
