// Zorvel.history, beside Zorvel.cfg: what every rename run moved, so that a
// run can be undone after the window that made it is gone, and runs of the
// command line (Send To) too.
//
// The file is UTF-16LE text with a byte-order mark, one record per line
// (CR LF), fields separated by tabs; '%', tabs, line breaks and every other
// control character in a field are written as %XX, so a record is always one
// line whatever a name holds:
//   RUN     id  local time  window|command  files in the run
//   MOVE    id  full path before  full path after
//   UNDONE  id
// Each record names its run, so the records of two processes writing at
// once may interleave. A MOVE is written as its move succeeds (the run's
// header with the first one), so a run cut short by a crash keeps what it
// moved. The file keeps the newest 20 runs: writing a run's header first
// drops the oldest, through a temporary file that replaces the history in
// one move. Appends and that rewrite take a named mutex of the file's, so
// two Zorvels lose nothing. Damaged lines are passed over when reading.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "filelist/FailureReason.h"

enum class HistorySource { Window, CommandLine };

// "<program folder>\Zorvel.history"; empty without a program folder.
std::wstring HistoryPath();

// The records of one rename run, written by the run's thread as it moves.
class HistoryRun {
public:
    HistoryRun(HistorySource source, int files);
    HistoryRun(const HistoryRun&) = delete;
    HistoryRun& operator=(const HistoryRun&) = delete;

    // One successful move; the run's header goes first, with the first one.
    void Moved(const wchar_t* from, const wchar_t* to);
    // Some record could not be written.
    bool Failed() const { return failed_; }

private:
    std::wstring id_;
    HistorySource source_;
    int files_;
    bool begun_ = false;
    std::atomic<bool> failed_{false};
};

struct HistoryMove {
    std::wstring from, to;
};

struct HistoryEntry {
    std::wstring id;
    std::wstring time;  // "YYYY/MM/DD hh:mm:ss", local
    HistorySource source = HistorySource::Window;
    int files = 0;      // files in the run
    std::vector<HistoryMove> moves; // in the order they were made
    bool undone = false;
};

// Every run in the history, newest first (empty when there is none).
std::vector<HistoryEntry> ReadHistory();

struct SkippedMove {
    std::wstring path; // where the file should have been
    FailureReason reason;
};

struct HistoryUndo {
    bool found = false;            // the run exists and was not undone before
    std::vector<HistoryMove> restored; // each moved back from `to` to `from`
    std::vector<SkippedMove> skipped;
    bool marked = false;           // the run is marked undone in the file
};

// Moves the run's files back in reverse order through the checked move; a
// file no longer at its new name, or whose old name is taken, is skipped,
// and nothing is overwritten. The run is then marked undone (undoing is not
// itself a run).
HistoryUndo UndoHistoryRun(const std::wstring& id);
