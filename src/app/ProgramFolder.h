// The program folder: where Zorvel.exe lies, and with it Zorvel.cfg and
// Zorvel.log. Found once from the module path; tests point it elsewhere.
#pragma once

const wchar_t* ProgramFolder();

// Replaces the folder for the rest of the process (tests use a temporary one).
// False when the path does not fit a 260-unit buffer.
bool SetProgramFolder(const wchar_t* folder);
