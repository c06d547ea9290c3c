// The program folder: where Zorvel.exe lies, and with it Zorvel.cfg and
// Zorvel.log. Found once from the module path; tests point it elsewhere.
#pragma once

// Empty when the folder is unknown or too long for the 260-unit buffers:
// then nothing is written there (no log, no settings file).
const wchar_t* ProgramFolder();

// Replaces the folder for the rest of the process (tests use a temporary one).
// False, leaving no folder at all, when the path does not fit a 260-unit
// buffer.
bool SetProgramFolder(const wchar_t* folder);
