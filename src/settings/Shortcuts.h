// The two shell shortcuts to the program: one in the user's Send To folder
// and one on the desktop. Both start the program with the run mode's switch
// (Settings::Options), after which the shell appends the sent or dropped
// files. Whether each exists is Settings::SendTo and Settings::Desktop.
//
// Runs on the user-interface thread only (the options dialog). Nothing here
// reports to the user: a shortcut that cannot be saved turns its setting
// off, and a link that cannot be deleted is left alone.
#pragma once

#include "settings/Settings.h"

// The paths the shortcuts are made from. A path that does not fit its
// 260-unit buffer is left empty: no shortcut is then made from it or
// deleted at it.
struct ShortcutPathSet {
    wchar_t program[260];     // the running program file
    wchar_t directory[260];   // its folder: the shortcuts' working directory
    wchar_t sendToLink[260];  // <Send To folder>\<display name>.lnk
    wchar_t desktopLink[260]; // <desktop folder>\<display name>.lnk
};

extern ShortcutPathSet g_shortcutPaths;

// Fills g_shortcutPaths; displayName is the program's display name (at most
// 62 characters are used).
void ShortcutPaths(const wchar_t* displayName);

// Makes ShortcutPaths use these folders instead of the shell's Send To and
// desktop folders (tests must not write into the real ones); null restores
// the shell's.
void OverrideShortcutFolders(const wchar_t* sendTo, const wchar_t* desktop);

// The switch put into both shortcuts for a run mode; null for none (mode 1
// and every value outside 0..3).
const wchar_t* RunModeArguments(int runMode);

// Saves a shortcut to the program at linkPath, with arguments when not null
// and the program's folder as working directory. True when the file was saved.
bool CreateShortcut(const wchar_t* arguments, const wchar_t* linkPath);

// Brings both links in line with settings: an enabled one is (re)written with
// the current program path and switch, and its flag says whether that worked;
// a disabled one is deleted (a missing file is no error).
void ApplyShortcuts(Settings& settings);
