// The command-line batch: a small progress dialog (hidden in the silent
// modes) gathers the passed files, derives their names, renames them on a
// worker thread, reports the result unless very silent, and ends the process.
#pragma once

#include <windows.h>

#include "settings/Settings.h"

struct CommandLine;

// Shows the (possibly hidden) dialog for line, runs the batch and returns
// its exit code (BatchExitCode) once it has ended.
int RunBatchDialog(HINSTANCE instance, const CommandLine& line, const Settings& settings);
