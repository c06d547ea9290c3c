// Zorvel.log: one line per rename attempt, in the ANSI code page with CR LF
// line ends and no byte-order mark:
//   YYYY/MM/DD hh:mm:ss,<Success|Failure|Error>,<path before>,<new name>
// Each line is appended with its own exclusive open. The log is trimmed to
// the newest MaxLine lines at the end of a batch, through Zorvel.log.tmp,
// which replaces the log in one move.
#pragma once

// Fixes the log's path: "<program folder>\Zorvel.log".
void InitLogPath();
const wchar_t* LogPath();

extern const wchar_t kLogSuccess[];
extern const wchar_t kLogFailure[];
extern const wchar_t kLogError[];

// False when the log could not be opened (the line is then lost).
bool AppendLogLine(const wchar_t* result, const wchar_t* path, const wchar_t* name);
int CountLogLines();
// Drops the first n lines; false when the log was left as it was.
bool TrimLog(int n);
// Keeps the newest maxLine lines (nothing is trimmed for 0 or less).
void TrimLogToMaxLine(int maxLine);
