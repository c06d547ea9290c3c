#include "rename/EntryBatch.h"

#include "base/ScopedWin.h"
#include "filelist/RunState.h"
#include "rename/RenameLog.h"

EntryBatchJob g_entryBatchJob;

DWORD WINAPI EntryBatchWorker(LPVOID) {
    const EntryBatchJob& job = g_entryBatchJob;
    int ok = 0, done = 0;
    {
        ScopedCritSec hold(WorkLock);
        for (int i = 0; i < job.rowCount; ++i) {
            if (job.selectedOnly && !(i < static_cast<int>(job.selected.size()) && job.selected[i])) continue;
            if (job.operation(*job.list, i)) ++ok;
            ++done;
            job.events->Progress(done);
            if (!WorkActive) break; // the current row is finished
        }
        TrimLogToMaxLine();
    }
    job.events->Finished(ok, job.selectedOnly ? job.selectedCount : job.rowCount);
    return 0;
}
