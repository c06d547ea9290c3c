#include "rename/EntryBatch.h"

#include "naming/Clashes.h"
#include "rename/RenameLog.h"

RunResult RunEntryBatch(const EntryBatch& batch, FileList& list, Run& run) {
    int ok = 0, done = 0;
    for (int i = 0; i < batch.rowCount; ++i) {
        if (batch.selectedOnly && !(i < static_cast<int>(batch.selected.size()) && batch.selected[i])) continue;
        if (batch.operation(list, i, batch.options)) ++ok;
        run.Progress(++done);
        if (run.Cancelled()) break; // the current row is finished
    }
    ForeseeClashes(list, batch.lookAtEveryTarget ? DiskCheck::All : DiskCheck::Unsettled);
    TrimLogToMaxLine(batch.options.maxLine);
    return {static_cast<WPARAM>(ok), batch.selectedOnly ? batch.selectedCount : batch.rowCount};
}
