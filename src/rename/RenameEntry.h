// Renaming one entry's file to its proposed name, and moving it back.
// Both run on the batch worker, one row at a time; a move never replaces an
// existing file.
#pragma once

class FileList;

// Derives the name first when the entry has none; moves the file; logs the
// attempt unless logging is off. True exactly when the file was moved.
bool RenameEntry(FileList& list, int index);

// Moves a renamed entry's file back to where it was. Never logs.
bool UndoRename(FileList& list, int index);
