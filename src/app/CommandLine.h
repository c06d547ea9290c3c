// The command line: switches first (case-insensitive, the scan stops at the
// first argument not beginning with '/'), then paths; and the way to run
// that follows from them. Paths are made absolute as they are parsed; a
// blank one is left empty.
#pragma once

#include <string>
#include <vector>

enum class StartMode { Window, HandOver, Batch };

struct CommandLine {
    std::vector<std::wstring> args; // argument 0 is the program
    bool showWindow = false;
    bool silent = false;
    bool verySilent = false;
    bool singleInstance = false;
    bool batch = false; // renamed without a main window

    // The decision; runningInstance: a main window of another process exists.
    StartMode Mode(bool runningInstance) const;
    // Paths the main window adds at start (argument 2 on, every argument).
    std::vector<std::wstring> WindowPaths() const;
    // Paths handed to a running instance (argument 3 on, no switches, none empty).
    std::vector<std::wstring> HandOverPaths() const;
    // Paths the command-line batch renames (argument 1 on, no switches):
    // a switch is never walked as a path ("/silent" would name the folder
    // \silent at the root of the current drive).
    std::vector<std::wstring> BatchPaths() const;
};

// The command-line batch's exit codes.
enum BatchExitCode {
    kBatchAllRenamed = 0,   // every archive found was renamed (at least one)
    kBatchNotAllRenamed = 1, // some or all were not renamed, none was found, or the run was cancelled
    kBatchFormatRefused = 2, // the Format setting holds a character a name may not; nothing renamed
};

CommandLine ParseCommandLine(const std::vector<std::wstring>& args);
std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine);
