// The per-entry batch of the main window: one run applies one per-row
// operation (derive, rename or undo) to every row or to the selected rows,
// reporting progress, stopping after the current row when cancelled and
// trimming the log at the end.
#pragma once

#include <windows.h>

#include <vector>

#include "base/Run.h"
#include "rename/RenameEntry.h"

class FileList;

using EntryOperation = bool (*)(FileList& list, int index, const RenameOptions& options);

struct EntryBatch {
    EntryOperation operation;
    RenameOptions options;
    // After the rows: the clashes looked at again (deriving: the rows that
    // clashed; renaming and undoing: every proposal on disk too).
    bool lookAtEveryTarget = false;
    int rowCount;
    int selectedCount;
    bool selectedOnly;
    std::vector<bool> selected; // the selection when the run started
};

// The run's work: Progress(rows done); the result is (rows that succeeded,
// rows in the run).
RunResult RunEntryBatch(const EntryBatch& batch, FileList& list, Run& run);
