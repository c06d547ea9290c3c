// Renaming one entry's file to its proposed name, and moving it back.
// Both run on the batch worker, one row at a time; a move never replaces an
// existing file.
#pragma once

#include "naming/NamingOptions.h"

class FileList;

// What a rename run depends on, copied when it starts.
struct RenameOptions {
    NamingOptions naming;
    int maxLine = 0; // the log's MaxLine: 0 no limit, -1 no log

    bool Logging() const { return maxLine != -1; }
    static RenameOptions From(const Settings& settings);
};

// Derives the name first when the entry has none; moves the file; logs the
// attempt unless logging is off. True exactly when the file was moved.
bool RenameEntry(FileList& list, int index, const RenameOptions& options);

// Moves a renamed entry's file back to where it was. Never logs.
bool UndoRename(FileList& list, int index, const RenameOptions& options);

// Derives the entry's new name (DeriveNewName), as a run's row operation.
bool DeriveEntry(FileList& list, int index, const RenameOptions& options);
