#include "rename/RenameEntry.h"

#include <windows.h>

#include "base/Text.h"
#include "filelist/FileList.h"
#include "naming/NameFormat.h"
#include "rename/CheckedMove.h"
#include "rename/RenameLog.h"

namespace {

// The entry's copy, changed, goes back to the list in one step.
bool Stored(FileList& list, int index, const FileEntry& entry, bool result, const RowNote* note = nullptr) {
    list.StoreEntry(index, entry, note);
    return result;
}

void Log(const RenameOptions& options, const wchar_t* result, const wchar_t* path, const wchar_t* name) {
    if (!options.Logging()) return;
    if (!AppendLogLine(result, path, name) && options.journal) options.journal->logFailed = true;
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
        Log(options, kLogError, e.fullPath, L"");
        return Stored(list, index, e, false);
    }
    RowNote note = MoveFileNoted(e.fullPath, e.newFullPath);
    if (note.reason != FailureReason::None) {
        e.status = kStatusRenameFailed;
        Log(options, kLogFailure, e.fullPath, e.newName);
        return Stored(list, index, e, false, &note);
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
    if (options.journal) options.journal->history.Moved(e.undoPath, e.fullPath);
    Log(options, kLogSuccess, e.undoPath, e.name);
    return true;
}

bool UndoRename(FileList& list, int index, const RenameOptions&) {
    FileEntry e;
    if (!list.CopyEntry(index, e) || e.status != kStatusRenamed) return false;
    RowNote note = MoveFileNoted(e.fullPath, e.undoPath);
    if (note.reason != FailureReason::None) {
        e.status = kStatusRenameFailed;
        return Stored(list, index, e, false, &note);
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
