#include "rename/EntryBatch.h"

#include "filelist/FileEntry.h"
#include "filelist/FileList.h"
#include "naming/Clashes.h"
#include "rename/RenameLog.h"

RunResult RunEntryBatch(const EntryBatch& batch, FileList& list, Run& run) {
    std::vector<int> succeeded;
    int done = 0;
    for (int i = 0; i < batch.rowCount; ++i) {
        if (batch.selectedOnly && !(i < static_cast<int>(batch.selected.size()) && batch.selected[i])) continue;
        if (batch.operation(list, i, batch.options)) succeeded.push_back(i);
        run.Progress(++done);
        if (run.Cancelled()) break; // the current row is finished
    }
    ForeseeClashes(list, batch.lookAtEveryTarget ? DiskCheck::All : DiskCheck::Unsettled);
    // A name derived for a row that now clashes is no success to report.
    int ok = 0;
    FileEntry entry;
    for (int row : succeeded)
        if (list.CopyEntry(row, entry) && !IsClash(entry.status)) ++ok;
    TrimLogToMaxLine(batch.options.maxLine);
    return {static_cast<WPARAM>(ok), batch.selectedOnly ? batch.selectedCount : batch.rowCount};
}
