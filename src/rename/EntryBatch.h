// The per-entry batch of the main window: one worker applies one per-row
// operation (derive, rename or undo) to every row or to the selected rows,
// reporting progress, stopping when WorkActive is cleared, trimming the log
// at the end and reporting its end through the job's events.
#pragma once

#include <windows.h>

#include <vector>

#include "base/Run.h"

class FileList;

using EntryOperation = bool (*)(FileList& list, int index);

struct EntryBatchJob {
    EntryOperation operation;
    RunEvents* events; // Progress(rows done), Finished(rows that succeeded, rows in the run)
    FileList* list;
    int rowCount;
    int selectedCount;
    bool selectedOnly;
    std::vector<bool> selected; // the selection when the run started
};

extern EntryBatchJob g_entryBatchJob;

// The worker for g_entryBatchJob (started at the highest normal priority).
DWORD WINAPI EntryBatchWorker(LPVOID);
