// The command-line batch: a small progress dialog (hidden in the silent
// modes) gathers the passed files, derives their names, renames them on a
// worker thread, reports the result unless very silent, and ends the process.
#pragma once

#include <windows.h>

struct CommandLine;

// Message that starts the batch (sent once the dialog exists).
const UINT WM_APP_START_BATCH = WM_APP + 7;

// Creates the hidden dialog for line (which must outlive it) and starts it.
HWND CreateBatchDialog(HINSTANCE instance, const CommandLine& line);
