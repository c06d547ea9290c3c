// Renaming one entry's file to its proposed name, and moving it back.
// Both run on the batch worker, one row at a time; a move never replaces an
// existing file.
#pragma once

#include <atomic>

#include "naming/NamingOptions.h"
#include "rename/RenameHistory.h"

class FileList;

// What one run writes down besides its moves: the history's records, and
// whether a log line could not be written. The run's thread writes; the
// window reads it once the run has ended.
struct RunJournal {
    RunJournal(HistorySource source, int files) : history(source, files) {}
    HistoryRun history;
    std::atomic<bool> logFailed{false};
};

// What a rename run depends on, copied when it starts.
struct RenameOptions {
    NamingOptions naming;
    int maxLine = 0;              // the log's MaxLine: 0 no limit, -1 no log
    RunJournal* journal = nullptr; // where the run's moves are recorded; none in tests

    bool Logging() const { return maxLine != -1; }
    static RenameOptions From(const Settings& settings);
};

// Derives the name first when the entry has none; moves the file; logs the
// attempt unless logging is off, and records a move in the journal's
// history. A failed move keeps its reason beside the row. True exactly when
// the file was moved.
bool RenameEntry(FileList& list, int index, const RenameOptions& options);

// Moves a renamed entry's file back to where it was (a failure keeps its
// reason beside the row). Never logs, never records.
bool UndoRename(FileList& list, int index, const RenameOptions& options);

// Derives the entry's new name (DeriveNewName), as a run's row operation.
bool DeriveEntry(FileList& list, int index, const RenameOptions& options);
