// The per-entry batch of the main window: one worker applies one per-row
// operation (derive, rename or undo) to every row or to the selected rows,
// moving the progress bar, stopping when WorkActive is cleared, trimming the
// log at the end and posting WM_APP_BATCH_DONE to the window.
#pragma once

#include <windows.h>

#include <vector>

class FileList;

using EntryOperation = bool (*)(FileList& list, int index);

struct EntryBatchJob {
    EntryOperation operation;
    HWND notifyWindow;
    HWND progressBar; // may be null
    FileList* list;
    int rowCount;
    int selectedCount;
    bool selectedOnly;
    std::vector<bool> selected; // the selection when the run started
};

extern EntryBatchJob g_entryBatchJob;

// The worker for g_entryBatchJob (started at the highest normal priority).
DWORD WINAPI EntryBatchWorker(LPVOID);
